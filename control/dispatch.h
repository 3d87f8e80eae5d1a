// Late binding in the shape of the classic dispatch interface: a member is
// found by name once (GetIDsOfNames) and then called by its dispatch id
// (Invoke). Values travel as QVariant; an invalid QVariant is Null.
// Arguments are in their natural order (first argument first) and are passed
// by reference: a member may change them (see VBColor2WebColor).
#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>
#include <cstdint>

namespace vrayu {

using HResult = std::int32_t;

inline constexpr HResult kS_OK = 0;
inline constexpr HResult kS_FALSE = 1;
inline constexpr HResult kE_NoInterface = static_cast<HResult>(0x80004002u);
inline constexpr HResult kE_Pointer = static_cast<HResult>(0x80004003u);
inline constexpr HResult kE_Fail = static_cast<HResult>(0x80004005u);
inline constexpr HResult kE_InvalidArg = static_cast<HResult>(0x80070057u);
inline constexpr HResult kClassE_ClassNotAvailable = static_cast<HResult>(0x80040111u);
inline constexpr HResult kRegDB_E_ClassNotReg = static_cast<HResult>(0x80040154u);
inline constexpr HResult kSelfReg_E_Class = static_cast<HResult>(0x80040201u);
inline constexpr HResult kDispE_MemberNotFound = static_cast<HResult>(0x80020003u);
inline constexpr HResult kDispE_TypeMismatch = static_cast<HResult>(0x80020005u);
inline constexpr HResult kDispE_UnknownName = static_cast<HResult>(0x80020006u);
inline constexpr HResult kDispE_Exception = static_cast<HResult>(0x80020009u);
inline constexpr HResult kDispE_BadParamCount = static_cast<HResult>(0x8002000Eu);

inline bool Succeeded(HResult hr) { return hr >= 0; }

// Invoke flags; a property put passes its new value as the one argument.
enum InvokeFlags : int {
    kDispatchMethod = 1,
    kDispatchPropertyGet = 2,
    kDispatchPropertyPut = 4,
    kDispatchPropertyPutRef = 8,
};

inline constexpr int kDispidUnknown = -1;

class Dispatch {
public:
    // The dispatch id of a member (names compare without regard to case), or
    // kDispidUnknown.
    virtual int GetIDsOfNames(const QString& name) const = 0;
    // Calls member `dispid`. `result` may be null. On kDispE_Exception,
    // `errorText` (when given) receives the description of the error.
    virtual HResult Invoke(int dispid, int flags, QVariantList& args, QVariant* result,
                           QString* errorText = nullptr) = 0;

    // Conveniences for hosts and tests.
    QVariant Get(int dispid) {
        QVariantList none;
        QVariant v;
        Invoke(dispid, kDispatchPropertyGet, none, &v);
        return v;
    }
    HResult Put(int dispid, const QVariant& value) {
        QVariantList args{value};
        return Invoke(dispid, kDispatchPropertyPut, args, nullptr);
    }
    HResult Call(int dispid, QVariantList& args, QVariant* result = nullptr) {
        return Invoke(dispid, kDispatchMethod, args, result);
    }
    HResult Call(int dispid) {
        QVariantList none;
        return Invoke(dispid, kDispatchMethod, none, nullptr);
    }
    QVariant Get(const QString& name) { return Get(GetIDsOfNames(name)); }
    HResult Put(const QString& name, const QVariant& value) { return Put(GetIDsOfNames(name), value); }

protected:
    ~Dispatch() = default;
};

}  // namespace vrayu
