#include "OrnaVersionUpDecision.h"

#include "OrnaFirmwareVersion.h"
#include "TextConversion.h"

#include <string>

std::int32_t OrnaVersionUpDecision::Decide(const wchar_t* deviceVersion,
                                           const wchar_t* productInfo2,
                                           const wchar_t* productInfo3) {
    const std::int32_t product = CheckProduct(productInfo2);
    if (product != 1) {
        return product;
    }
    const std::int32_t model = CheckModel(productInfo3);
    if (model != 1 && model != 3) {
        return model;
    }
    const std::int32_t version = CompareVersion(deviceVersion);
    if (version != 1 && version != 3) {
        return version;
    }
    return model == 3 && version == 3 ? UPDATE_NOT_NEEDED : UPDATE_NEEDED;
}

std::int32_t OrnaVersionUpDecision::CompareVersion(const wchar_t* deviceVersion) {
    const std::string narrow = common::WideToNarrow(deviceVersion);
    const auto imageVersion = image_->CreateVersion();
    const OrnaFirmwareVersion device(narrow.c_str());
    if (device.IsEqual(imageVersion.get())) {
        return 3;
    }
    return device.IsLess(imageVersion.get()) ? 1 : 0;
}

std::int32_t OrnaVersionUpDecision::CheckProduct(const wchar_t*) {
    return 1;
}

std::int32_t OrnaVersionUpDecision::CheckModel(const wchar_t*) {
    // The watch's model code already matched the image's when it was connected.
    return 3;
}
