#include "scan/makes/sn388/external_header.h"


namespace segd {

std::int32_t DecodeExternalHeader(ByteSpan bytes, ExternalHeaderRecord& record) {
  record.HexImage.Store(BytesToHex(FixedBlock<kExternalHeaderBytesShown>(bytes)));
  return 0;
}

}  // namespace segd
