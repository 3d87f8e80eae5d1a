#include "tel1.h"

#include <functional>

namespace vrayu {
namespace {

std::function<std::unique_ptr<Tel1>(QWidget*)>& Factory() {
    static std::function<std::unique_ptr<Tel1>(QWidget*)> factory;
    return factory;
}

}  // namespace

void SetTel1Factory(std::function<std::unique_ptr<Tel1>(QWidget*)> factory) { Factory() = std::move(factory); }

std::unique_ptr<Tel1> Tel1::Create(QWidget* parent) {
    if (Factory()) return Factory()(parent);
    return CreateRegisteredControl(parent);
}

}  // namespace vrayu
