#pragma once
// Runs of the common entries of a version database, decoded 64 bytes at a time
// with vector instructions where the processor has them.
//
// Nearly every entry of a real file steps its identifier by one and its offset
// by one, by a byte or back by a byte, in units of the pointer size or not:
// type bytes 0x11, 0x21, 0x31 (bit 7 may be set). Such an entry is one or two
// bytes long, so where entries begin within 64 bytes follows from which bytes
// look like two-byte types; the identifier grows by the number of entries and
// the offset by the sums of their fields. A scaled step drops the bits of the
// offset below the unit; the block checks that those bits are 0 at every scaled
// entry, which is what makes the sums exact (a real file never has them set).
// Other entries whose identifier steps up and whose offset steps by a field
// (mostly words) are taken within the block; any other entry ends the run.
#include <cstddef>
#include <cstdint>

namespace cw::address {

// The running values of the entry decoder.
struct EntryCursor {
  const std::uint8_t* p;
  std::size_t done = 0;  // entries decoded
  std::uint64_t id = 0;
  std::uint64_t offset = 0;
};

// Why a run stopped; the cursor is then at the first entry not decoded.
enum class RunStop {
  kOtherEntry,  // the entry there is not one of the common codings, or a scaled
                // entry there would drop bits: decode it one by one
  kNearLimit,   // the next 64 bytes would reach `belowId` or pass `count` entries
  kLongest,     // the run is as long as one may be: the next may start at once
  kEnd,         // fewer than 128 bytes left, or no vector instructions
};

struct RunLimits {
  const std::uint8_t* end;  // end of the file's bytes
  std::size_t count;        // entries in the file
  std::uint64_t belowId;    // every identifier of the run stays below this one
  int unitShift;            // the pointer size is 1 << unitShift (0..8)
};

// Whether this processor (and its system) runs the vector blocks.
bool VectorRunsAvailable();

// Decodes whole blocks of common entries from `cursor` while they stay within
// `limits`. The identifier of every entry of the run is one above the one before
// and below `limits.belowId`. Returns kEnd at once when !VectorRunsAvailable().
RunStop DecodeCommonRun(EntryCursor& cursor, const RunLimits& limits);

}  // namespace cw::address
