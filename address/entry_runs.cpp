#include "address/entry_runs.h"

#include <algorithm>
#include <type_traits>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define CW_VECTOR_RUNS 1
#include <cpuid.h>
#include <immintrin.h>
#else
#define CW_VECTOR_RUNS 0
#endif

namespace cw::address {

#if CW_VECTOR_RUNS
namespace {

#define CW_BLOCK_TARGET \
  __attribute__((target("avx512f,avx512bw,avx512dq,avx512vbmi,avx512vnni,popcnt,bmi")))

bool ProcessorRunsBlocks() {
  unsigned a = 0, b = 0, c = 0, d = 0;
  if (!__get_cpuid(1, &a, &b, &c, &d)) return false;
  if (!(c & bit_OSXSAVE) || !(c & bit_POPCNT)) return false;
  if (!__get_cpuid_count(7, 0, &a, &b, &c, &d)) return false;
  const unsigned wantedB = bit_AVX512F | bit_AVX512DQ | bit_AVX512BW | bit_BMI;
  if ((b & wantedB) != wantedB || !(c & bit_AVX512VBMI) || !(c & bit_AVX512VNNI)) return false;
  unsigned low = 0, high = 0;
  __asm__ volatile("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
  // The system saves the SSE, AVX and opmask registers and both halves of the
  // 512-bit ones.
  return (low & 0xE6) == 0xE6;
}

constexpr std::uint64_t kEvenBits = 0x5555555555555555;
constexpr std::uint64_t kAll = ~std::uint64_t{0};

// Where two-byte entries begin among the bytes `two` that look like their type
// bytes, when an entry begins at the lowest byte of `two` that has no byte of
// `two` just below it. Each run of such bytes begins with an entry (the byte
// before it is a one-byte entry or the last byte of a longer one), so entries
// begin at every other byte of the run.
inline std::uint64_t TwoByteStarts(std::uint64_t two) {
  const std::uint64_t runFirsts = two & ~(two << 1);
  // A carry through each run that begins on an even byte clears it; the
  // entries begin at the even bytes of those runs and at the odd bytes of the
  // others.
  return two & ((two + (runFirsts & kEvenBits)) ^ kEvenBits);
}

// What an entry of another coding adds, when it only adds: its identifier
// steps up (by 1, a byte or a word, not 0) and its offset by a relative field.
struct Addition {
  bool adds = false;
  unsigned length = 0;
  std::uint64_t idStep = 0;
  std::uint64_t offsetStep = 0;  // negative steps wrap
  bool scaled = false;
};

// Each type byte's codings, for the types whose entries only add.
struct AddingType {
  std::uint8_t adds = 0;
  std::uint8_t idBytes = 0;      // 0 for "+ 1"
  std::uint8_t offsetBytes = 0;  // 0 for "+ 1"
  std::uint8_t negative = 0;
};

constexpr AddingType AddingTypeOf(unsigned type) {
  constexpr std::uint8_t kFieldBytes[8] = {8, 0, 1, 1, 2, 2, 2, 4};
  const unsigned idCoding = type & 0x0F;
  const unsigned offsetCoding = (type >> 4) & 0x07;
  AddingType t;
  t.adds =
      (idCoding == 1 || idCoding == 2 || idCoding == 4) && offsetCoding >= 1 && offsetCoding <= 5;
  t.idBytes = idCoding < 8 ? kFieldBytes[idCoding] : 0;
  t.offsetBytes = kFieldBytes[offsetCoding];
  t.negative = offsetCoding == 3 || offsetCoding == 5;
  return t;
}

struct AddingTypes {
  AddingType of[256];
  constexpr AddingTypes() {
    for (unsigned type = 0; type < 256; ++type) of[type] = AddingTypeOf(type);
  }
};
constexpr AddingTypes kAddingTypes;

// The low `bytes` bytes of a word (0 to 2).
inline std::uint64_t LowBytes(std::uint64_t word, unsigned bytes) {
  return word & ((std::uint64_t{1} << (8 * bytes)) - 1);
}

inline Addition AdditionAt(const std::uint8_t* entry) {
  Addition a;
  const unsigned type = entry[0];
  const AddingType t = kAddingTypes.of[type];
  if (!t.adds) return a;
  std::uint64_t word;
  __builtin_memcpy(&word, entry + 1, sizeof word);
  a.idStep = t.idBytes == 0 ? 1 : LowBytes(word, t.idBytes);
  if (a.idStep == 0) return a;
  a.offsetStep = t.offsetBytes == 0 ? 1 : LowBytes(word >> (8 * t.idBytes), t.offsetBytes);
  if (t.negative) a.offsetStep = 0 - a.offsetStep;
  a.scaled = (type & 0x80) != 0;
  a.length = 1u + t.idBytes + t.offsetBytes;
  a.adds = true;
  return a;
}

// The entries of other codings in a block, taken one at a time.
struct OtherEntries {
  std::uint64_t starts;           // where all entries of the block begin
  unsigned nextFirst;             // where the next block's first entry begins
  std::uint64_t taken = 0;        // where the ones taken begin
  std::uint64_t cut = kAll;       // the entries below one that ends the block
  std::uint64_t idExtra = 0;      // what their identifier steps add beyond 1 each
  std::uint64_t offsetExtra = 0;  // what their offset steps add
  // Their unscaled offset steps modulo 256, at their first bytes.
  __m512i lowSteps = _mm512_setzero_si512();
};

// Takes the entries of other codings (not in `oneOrTwo`) from the lowest on:
// one that only adds is taken and the block goes on after it, with `starts`
// and `nextFirst` worked out again; any other ends the block there.
CW_BLOCK_TARGET inline __attribute__((always_inline)) OtherEntries TakeOtherEntries(
    const std::uint8_t* base, std::uint64_t two, std::uint64_t oneOrTwo, int unitShift,
    std::uint64_t starts, unsigned nextFirst) {
  OtherEntries o{starts, nextFirst};
  std::uint64_t pending = starts & ~oneOrTwo;
  while (pending) {
    const unsigned at = static_cast<unsigned>(__builtin_ctzll(pending));
    const Addition a = AdditionAt(base + at);
    if (!a.adds) {
      o.cut = (std::uint64_t{1} << at) - 1;
      return o;
    }
    o.taken |= std::uint64_t{1} << at;
    o.idExtra += a.idStep - 1;
    o.offsetExtra += a.scaled ? a.offsetStep << unitShift : a.offsetStep;
    if (!a.scaled)
      o.lowSteps = _mm512_mask_mov_epi8(o.lowSteps, std::uint64_t{1} << at,
                                        _mm512_set1_epi8(static_cast<char>(a.offsetStep)));
    const unsigned next = at + a.length;
    const std::uint64_t upTo = (std::uint64_t{2} << at) - 1;  // this entry and those below
    if (next >= 64) {
      o.starts &= upTo;
      o.nextFirst = next - 64;
      return o;
    }
    const std::uint64_t after = kAll << next;
    const std::uint64_t laterTwoStarts = TwoByteStarts(two & after);
    o.starts = (o.starts & upTo) | (after & ~(laterTwoStarts << 1));
    o.nextFirst = static_cast<unsigned>(laterTwoStarts >> 63);
    pending = o.starts & after & ~oneOrTwo;
  }
  return o;
}

// Sums of 16 int32 lanes.
CW_BLOCK_TARGET inline std::int64_t SumOfLanes(__m512i x) {
  const __m256i half = _mm256_add_epi32(_mm512_maskz_extracti64x4_epi64(0xF, x, 0),
                                        _mm512_maskz_extracti64x4_epi64(0xF, x, 1));
  const __m128i quarter =
      _mm_add_epi32(_mm256_castsi256_si128(half), _mm256_extracti128_si256(half, 1));
  const __m128i eighth = _mm_add_epi32(quarter, _mm_shuffle_epi32(quarter, 0x4E));
  return static_cast<std::int64_t>(_mm_cvtsi128_si32(eighth)) +
         static_cast<std::int64_t>(_mm_extract_epi32(eighth, 1));
}

// The constants of the block loop.
struct BlockConstants {
  __m512i zero, typeBits, stepOne, stepUp, stepDown, wordUp, wordDown, twoTypeBits, ones, sevens,
      spread, unitBytes, belowUnit, groupLasts, groupBelow, lastOfFirstGroup;
};

CW_BLOCK_TARGET inline BlockConstants MakeBlockConstants(int unitShift) {
  BlockConstants k;
  k.zero = _mm512_setzero_si512();
  k.typeBits = _mm512_set1_epi8(0x7F);
  k.stepOne = _mm512_set1_epi8(0x11);
  k.stepUp = _mm512_set1_epi8(0x21);
  k.stepDown = _mm512_set1_epi8(0x31);
  k.wordUp = _mm512_set1_epi8(0x41);  // also 0x51, 0xC1 and 0xD1 with twoTypeBits
  k.wordDown = _mm512_set1_epi8(0x51);
  k.twoTypeBits = _mm512_set1_epi8(0x6F);  // 0x21, 0x31, 0xA1 and 0xB1 give 0x21
  k.ones = _mm512_set1_epi8(1);
  k.sevens = _mm512_set1_epi8(7);
  k.spread = _mm512_set1_epi64(0x0101010101010101);
  k.unitBytes = _mm512_set1_epi8(static_cast<char>(1 << unitShift));
  k.belowUnit = _mm512_set1_epi8(static_cast<char>((1 << unitShift) - 1));
  // The last byte of each group of 8 bytes, gathered into every group; and,
  // for group g, byte g - 1 (group 0 gets none).
  k.groupLasts = _mm512_set1_epi64(0x3F372F271F170F07);
  k.groupBelow = _mm512_set_epi64(0x0606060606060606, 0x0505050505050505, 0x0404040404040404,
                                  0x0303030303030303, 0x0202020202020202, 0x0101010101010101,
                                  0x0000000000000000, 0x0000000000000000);
  k.lastOfFirstGroup = _mm512_set1_epi8(7);
  return k;
}

// What the blocks carry from one to the next.
struct RunState {
  const std::uint8_t* base;
  unsigned first;        // where the block's first entry begins: 0, or up to 4
                         // after an entry that ran over from the block before
  std::uint64_t idRoom;  // what the identifier may still grow by
  std::size_t done;      // entries decoded
  std::uint64_t offset;  // without the vector sums
  __m512i lowBits;       // the offset's bits below the unit before the block, in every byte
  __m512i sums;          // the offset steps of common entries, 16 partial sums
  __m512i highSums;      // the high bytes of word steps, likewise
};

// A block's masks: of the bytes that look like each coding's type byte, and of
// the entries.
struct BlockMasks {
  __mmask64 down, two, scaled;
  std::uint64_t starts;
  unsigned nextFirst;
};

// A block without entries of other codings.
struct NoOtherEntries {};

// Word entries (identifier + 1, offset plus or minus a word, in units or not),
// taken as a two-byte entry (the type and the step's low byte) and a one-byte
// one (the high byte), which holds as long as no high byte looks like a
// two-byte type itself. `starts` (in the block's masks) leaves out the high bytes.
struct WordEntries {
  std::uint64_t starts;  // where the words begin
};

// Adds the block's entries to `state` and returns true; or returns false with
// the reason in `stop`, `state` left before the block (or, with OtherEntries,
// at the entry that ends it). `others` says what the block holds besides the
// common entries: nothing, words, or entries taken one at a time.
template <class Others>
CW_BLOCK_TARGET inline __attribute__((always_inline)) bool FinishBlock(
    const BlockConstants& k, const __m512i& fields, const BlockMasks& m, const Others& others,
    RunState& state, RunStop& stop) {
  constexpr bool kWords = std::is_same_v<Others, WordEntries>;
  constexpr bool kOthers = !std::is_same_v<Others, NoOtherEntries> && !kWords;
  std::uint64_t taken = m.starts;
  std::uint64_t common = m.starts;
  std::uint64_t idStep;
  if constexpr (kOthers) {
    taken &= others.cut;
    common = taken & ~others.taken;
  }
  const std::uint64_t n = static_cast<std::uint64_t>(__builtin_popcountll(taken));
  if constexpr (kOthers)
    idStep = n + others.idExtra;  // what the block adds to the identifier
  else
    idStep = n;
  if (idStep > state.idRoom) {
    stop = RunStop::kNearLimit;
    return false;
  }

  // Each common entry's step: its field byte, or 1.
  const __m512i steps = _mm512_mask_blend_epi8(m.two, k.ones, fields);
  __mmask64 takenMask = _cvtu64_mask64(taken);
  __mmask64 commonMask = takenMask;
  if constexpr (kOthers) commonMask = _cvtu64_mask64(common);
  __asm__("" : "+k"(takenMask), "+k"(commonMask));
  const __mmask64 plainMask = _kandn_mask64(m.scaled, commonMask);
  // The offset's bits below the unit before each entry, from the unscaled
  // steps modulo 8. A scaled entry drops them; the run stops before one that
  // would drop any (the sums below would be wrong after it).
  __m512i plainSteps = _mm512_maskz_mov_epi8(plainMask, steps);
  plainSteps =
      _mm512_mask_sub_epi8(plainSteps, _kand_mask64(plainMask, m.down), k.zero, plainSteps);
  if constexpr (kOthers) {
    plainSteps = _mm512_add_epi8(plainSteps, others.lowSteps);
  }
  plainSteps = _mm512_and_si512(plainSteps, k.sevens);
  // Sums within each group of 8 bytes by one multiplication (each at most
  // 56, so no byte carries into the next), then the totals of the groups below.
  const __m512i inGroup = _mm512_mullo_epi64(plainSteps, k.spread);
  const __m512i groupTotals = _mm512_mullo_epi64(
      _mm512_and_si512(_mm512_maskz_permutexvar_epi8(kAll, k.groupLasts, inGroup), k.sevens),
      k.spread);
  const __m512i below =
      _mm512_maskz_permutexvar_epi8(~std::uint64_t{0xFF}, k.groupBelow, groupTotals);
  const __m512i before = _mm512_add_epi8(_mm512_add_epi8(inGroup, below), state.lowBits);
  if (_mm512_mask_test_epi8_mask(_kand_mask64(takenMask, m.scaled), before, k.belowUnit)) {
    stop = RunStop::kNearLimit;
    return false;
  }

  // Every common step times its weight: the unit when scaled, negative when down.
  __m512i weights = _mm512_mask_blend_epi8(m.scaled, k.ones, k.unitBytes);
  weights = _mm512_mask_sub_epi8(weights, m.down, k.zero, weights);
  weights = _mm512_maskz_mov_epi8(commonMask, weights);
  state.sums = _mm512_dpbusd_epi32(state.sums, steps, weights);
  if constexpr (kWords) {
    const __m512i highBytes = _mm512_loadu_si512(state.base + 2);
    state.highSums = _mm512_dpbusd_epi32(
        state.highSums, highBytes, _mm512_maskz_mov_epi8(_cvtu64_mask64(others.starts), weights));
  }
  state.idRoom -= idStep;
  state.done += n;
  if constexpr (kOthers) {
    state.offset += others.offsetExtra;
    if (others.cut != kAll) {
      state.base += __builtin_popcountll(others.cut);
      state.first = 0;
      stop = RunStop::kOtherEntry;
      return false;
    }
  }
  state.lowBits = _mm512_add_epi8(
      state.lowBits, _mm512_maskz_permutexvar_epi8(kAll, k.lastOfFirstGroup, groupTotals));
  state.first = m.nextFirst;
  state.base += 64;
  return true;
}

CW_BLOCK_TARGET RunStop DecodeBlocks(EntryCursor& cursor, const RunLimits& limits) {
  const int unitShift = limits.unitShift;
  if (limits.end - cursor.p < 128) return RunStop::kEnd;
  if (cursor.id >= limits.belowId || cursor.done >= limits.count) return RunStop::kNearLimit;
  std::size_t blocksLeft = static_cast<std::size_t>(limits.end - cursor.p - 64) / 64;
  // A block holds at most 64 entries, so blocks never pass the entry count if
  // there are no more of them than a 64th of the entries still to come; and
  // each of the 16 sums takes at most 4 * 255 * 8 per block, so none can
  // overflow in 65536 blocks. A run that stops at either bound is as long as
  // it may be; the next one is bounded afresh.
  const std::size_t mostBlocks = std::min<std::size_t>((limits.count - cursor.done) / 64, 65536);
  const bool capped = blocksLeft > mostBlocks;
  if (capped) blocksLeft = mostBlocks;

  BlockConstants k = MakeBlockConstants(unitShift);
  // The constants are made once and stay in registers: the compiler would
  // otherwise build some of them again in every block.
  __asm__(""
          : "+v"(k.zero), "+v"(k.typeBits), "+v"(k.stepOne), "+v"(k.stepUp), "+v"(k.stepDown),
            "+v"(k.twoTypeBits), "+v"(k.ones));
  __asm__(""
          : "+v"(k.sevens), "+v"(k.spread), "+v"(k.unitBytes), "+v"(k.belowUnit),
            "+v"(k.groupLasts), "+v"(k.groupBelow), "+v"(k.lastOfFirstGroup));
  RunState state{cursor.p,
                 0,
                 limits.belowId - cursor.id - 1,
                 cursor.done,
                 cursor.offset,
                 _mm512_set1_epi8(static_cast<char>(cursor.offset)),
                 k.zero,
                 k.zero};

  RunStop stop = RunStop::kEnd;
  for (; blocksLeft > 0; --blocksLeft) {
    const std::uint8_t* const base = state.base;
    const unsigned first = state.first;
    const __m512i bytes = _mm512_loadu_si512(base);
    const __m512i fields = _mm512_loadu_si512(base + 1);  // each byte's next byte
    const __m512i types = _mm512_and_si512(bytes, k.typeBits);
    // Masks the vector work uses stay in mask registers; the bit work below
    // gets its own copies of the two it needs, in general registers. Moves
    // between the two kinds of register are slow, and left to itself the
    // compiler makes many of them.
    BlockMasks m;
    __mmask64 oneMask = _mm512_cmpeq_epi8_mask(types, k.stepOne);
    m.down = _mm512_cmpeq_epi8_mask(types, k.stepDown);
    m.two = _mm512_cmpeq_epi8_mask(_mm512_and_si512(bytes, k.twoTypeBits), k.stepUp);
    m.scaled = _mm512_movepi8_mask(bytes);
    __asm__("" : "+k"(oneMask), "+k"(m.down), "+k"(m.two), "+k"(m.scaled));
    std::uint64_t two = _cvtmask64_u64(m.two);
    std::uint64_t oneOrTwo = _cvtmask64_u64(_kor_mask64(oneMask, m.two));
    __asm__("" : "+r"(two), "+r"(oneOrTwo));

    // Both cases of the usual first byte are worked out before the block
    // before has said which one holds, and which byte the next block begins
    // at is picked from the two cases by two operations, so that blocks wait
    // for each other no longer than that.
    std::uint64_t twoStarts;
    std::uint64_t from;
    if (first <= 1) [[likely]] {
      // Beginning at byte 1 instead of 0 changes only the run of such bytes at
      // byte 0: every byte of it swaps between first byte and second.
      const std::uint64_t at0 = TwoByteStarts(two);
      const std::uint64_t runAt0 = two & ~(two + 1);
      m.nextFirst = static_cast<unsigned>((at0 >> 63) ^ ((runAt0 >> 63) & first));
      twoStarts = at0 ^ (runAt0 & (std::uint64_t{0} - first));
      from = ~std::uint64_t{first};
    } else {
      from = kAll << first;
      twoStarts = TwoByteStarts(two & from);
      m.nextFirst = static_cast<unsigned>(twoStarts >> 63);
    }
    m.starts = from & ~(twoStarts << 1);

    // Entries of other codings (few blocks have any): words together, if
    // their high bytes allow; otherwise one at a time.
    bool goOn;
    if (m.starts & ~oneOrTwo) [[unlikely]] {
      const __mmask64 wordMask =
          _mm512_cmpeq_epi8_mask(_mm512_and_si512(bytes, k.twoTypeBits), k.wordUp);
      const std::uint64_t word = _cvtmask64_u64(wordMask);
      const std::uint64_t twoOrWord = two | word;
      const std::uint64_t wordFrom = kAll << first;
      const std::uint64_t wordTwoStarts = TwoByteStarts(twoOrWord & wordFrom);
      const std::uint64_t wordStarts0 = wordFrom & ~(wordTwoStarts << 1);
      const std::uint64_t words = wordStarts0 & word;
      const std::uint64_t highs = words << 2;
      if (!(wordStarts0 & ~(oneOrTwo | word | highs)) && !(highs & twoOrWord)) {
        BlockMasks w = m;
        w.starts = wordStarts0 & ~highs;
        // A word at byte 62 or 63 leaves its high byte to the next block.
        w.nextFirst = static_cast<unsigned>(wordTwoStarts >> 63) + ((words >> 62) != 0);
        w.two = _kor_mask64(m.two, wordMask);
        w.down = _kor_mask64(m.down, _mm512_cmpeq_epi8_mask(types, k.wordDown));
        goOn = FinishBlock(k, fields, w, WordEntries{words}, state, stop);
      } else {
        const OtherEntries others =
            TakeOtherEntries(base, two, oneOrTwo, unitShift, m.starts, m.nextFirst);
        m.starts = others.starts;
        m.nextFirst = others.nextFirst;
        goOn = FinishBlock(k, fields, m, others, state, stop);
      }
    } else {
      goOn = FinishBlock(k, fields, m, NoOtherEntries{}, state, stop);
    }
    if (!goOn) break;
  }

  // A run cut short by its bounds that took no block (fewer than 64 entries to
  // come) leaves the rest to the one-by-one decoder.
  if (stop == RunStop::kEnd && capped)
    stop = state.base != cursor.p ? RunStop::kLongest : RunStop::kNearLimit;
  cursor.p = state.base + state.first;
  cursor.id = limits.belowId - 1 - state.idRoom;
  cursor.done = state.done;
  cursor.offset = state.offset + static_cast<std::uint64_t>(SumOfLanes(state.sums)) +
                  (static_cast<std::uint64_t>(SumOfLanes(state.highSums)) << 8);
  return stop;
}

}  // namespace

bool VectorRunsAvailable() {
  static const bool available = ProcessorRunsBlocks();
  return available;
}

RunStop DecodeCommonRun(EntryCursor& cursor, const RunLimits& limits) {
  if (!VectorRunsAvailable() || limits.unitShift < 0 || limits.unitShift > 3) return RunStop::kEnd;
  return DecodeBlocks(cursor, limits);
}

#else

bool VectorRunsAvailable() {
  return false;
}

RunStop DecodeCommonRun(EntryCursor&, const RunLimits&) {
  return RunStop::kEnd;
}

#endif

}  // namespace cw::address
