#pragma once
// Whether a connected watch needs the image's firmware. The rules may differ per watch
// model; the application handles the three outcomes the same way for all of them.

#include <cstdint>

class VersionUpDecision {
  public:
    enum : std::int32_t {
        UPDATE_NOT_NEEDED = 0,
        UPDATE_NEEDED = 1,
        UPDATE_IMPOSSIBLE = 2,
    };

    VersionUpDecision() = default;
    VersionUpDecision(const VersionUpDecision&) = delete;
    VersionUpDecision& operator=(const VersionUpDecision&) = delete;
    virtual ~VersionUpDecision() = default;

    // UPDATE_NOT_NEEDED, UPDATE_NEEDED or UPDATE_IMPOSSIBLE (any value other than 0 and 2
    // counts as UPDATE_NEEDED). Texts are never null.
    virtual std::int32_t Decide(const wchar_t* deviceVersion, const wchar_t* productInfo2,
                                const wchar_t* productInfo3) = 0;
    // 3: same version; 1: the device's version is lower than the image's; 0: higher.
    virtual std::int32_t CompareVersion(const wchar_t* deviceVersion) = 0;
    // 1 to go on; any other value is the decision.
    virtual std::int32_t CheckProduct(const wchar_t* productInfo2) = 0;
    // 3 to go on (same version: no update), 1 to go on (same version: update anyway); any
    // other value is the decision.
    virtual std::int32_t CheckModel(const wchar_t* productInfo3) = 0;
};
