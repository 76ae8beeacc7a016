#include "CNullTrainingDataCreator.h"

namespace ArmillonDevice {
namespace {

constexpr DeviceErrorCode kRefused = DeviceErrorCode::GeneralFailure;

}  // namespace

CNullTrainingDataCreator::~CNullTrainingDataCreator() = default;

ArmillonDeviceError CNullTrainingDataCreator::Open() {
    return kRefused;
}
ArmillonDeviceError CNullTrainingDataCreator::Close() {
    return kRefused;
}
ArmillonDeviceError CNullTrainingDataCreator::Reconnect() {
    return kRefused;
}
ArmillonDeviceError CNullTrainingDataCreator::GetDeviceInformation(
    std::unique_ptr<SDeviceInformation>&) {
    return kRefused;
}
ArmillonDeviceError CNullTrainingDataCreator::GetTrainingDataCount(std::int32_t&, std::uint32_t) {
    return kRefused;
}
ArmillonDeviceError CNullTrainingDataCreator::GetTrainingData(std::unique_ptr<SORNATrainingData>&,
                                                              IReadProgressListener*) {
    return kRefused;
}
ArmillonDeviceError CNullTrainingDataCreator::SetUploadFlag(const STrainingData*) {
    return kRefused;
}
ArmillonDeviceError CNullTrainingDataCreator::SetData1600(const ByteVector&) {
    return kRefused;
}
ArmillonDeviceError CNullTrainingDataCreator::SetData1601(const ByteVector&) {
    return kRefused;
}
ArmillonDeviceError CNullTrainingDataCreator::SetData1604(const ByteVector&) {
    return kRefused;
}
ArmillonDeviceError CNullTrainingDataCreator::SetData1611(const ByteVector&) {
    return kRefused;
}
ArmillonDeviceError CNullTrainingDataCreator::SetData1614(const ByteVector&) {
    return kRefused;
}
ArmillonDeviceError CNullTrainingDataCreator::SetData1620(const ByteVector&) {
    return kRefused;
}
ArmillonDeviceError CNullTrainingDataCreator::GetTime(STimeData&) {
    return kRefused;
}
ArmillonDeviceError CNullTrainingDataCreator::SetTime(const STimeData&) {
    return kRefused;
}
ArmillonDeviceError CNullTrainingDataCreator::SendCommand30() {
    return kRefused;
}
ArmillonDeviceError CNullTrainingDataCreator::SendCommand31() {
    return kRefused;
}
ArmillonDeviceError CNullTrainingDataCreator::SendCommand32() {
    return kRefused;
}
ArmillonDeviceError CNullTrainingDataCreator::FlashRead(std::uint32_t, std::uint32_t, ByteVector&) {
    return kRefused;
}
ArmillonDeviceError CNullTrainingDataCreator::FlashWrite(std::uint32_t, const ByteVector&) {
    return kRefused;
}
ArmillonDeviceError CNullTrainingDataCreator::FlashSectorErase(std::uint32_t, std::uint32_t) {
    return kRefused;
}
ArmillonDeviceError CNullTrainingDataCreator::FlashRead2(std::uint32_t, std::uint32_t,
                                                         ByteVector&) {
    return kRefused;
}
ArmillonDeviceError CNullTrainingDataCreator::FlashWrite2(std::uint32_t, const ByteVector&) {
    return kRefused;
}

}  // namespace ArmillonDevice
