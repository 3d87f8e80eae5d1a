// The members of _Transliterate: one table shared by GetIDsOfNames, Invoke,
// persistence and the tests.
#pragma once

#include <QString>
#include <span>

namespace vrayu {

enum class MemberKind { Field, Property, Method };

struct Member {
    const char* name;
    int dispid;
    MemberKind kind;
    // Properties: the persisted name (notifications carry it); null for
    // fields and methods.
    const char* persistedName;
    // Methods: required and largest argument count.
    int minArgs = 0;
    int maxArgs = 0;
};

std::span<const Member> TransliterateMembers();
// Member by dispatch id, or null.
const Member* FindMember(int dispid);
// Member by name (case-insensitive), or null.
const Member* FindMember(const QString& name);

}  // namespace vrayu
