#include "CArmillonProcedure.h"

namespace {

int NoCallback(std::uint32_t, std::uint32_t) {
    return 0;
}

}  // namespace

CArmillonProcedure::CArmillonProcedure() : callback_(&NoCallback) {}

CArmillonProcedure::~CArmillonProcedure() = default;

std::int32_t CArmillonProcedure::SetCallback(Callback callback) {
    callback_ = callback != nullptr ? callback : &NoCallback;
    return 0;
}
