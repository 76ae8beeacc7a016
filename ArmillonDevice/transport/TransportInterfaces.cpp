// Out-of-line destructors of the transport interfaces, so their vtables live in one place.
#include "DeviceIdentifier.h"
#include "IReadProgressListener.h"
#include "IReaderWriter.h"
#include "IWriteProgressListener.h"

namespace ArmillonDevice {

DeviceIdentifier::~DeviceIdentifier() = default;
IReadProgressListener::~IReadProgressListener() = default;
IReaderWriter::~IReaderWriter() = default;
IWriteProgressListener::~IWriteProgressListener() = default;

}  // namespace ArmillonDevice
