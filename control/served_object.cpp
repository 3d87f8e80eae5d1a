#include "served_object.h"

#include <atomic>

namespace vrayu {
namespace {
std::atomic<int> g_live{0};
}  // namespace

ServedObject::ServedObject() { ++g_live; }
ServedObject::~ServedObject() { --g_live; }
int ServedObject::LiveCount() { return g_live.load(); }

}  // namespace vrayu
