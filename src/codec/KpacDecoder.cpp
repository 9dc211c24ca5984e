#include "codec/KpacDecoder.h"

#include <algorithm>
#include <barrier>
#include <bit>
#include <cstring>
#include <thread>
#include <vector>

#include "stream/LWaveFile.h"

namespace wqe::kpac {

namespace {

inline std::int16_t half(std::int16_t v) { return static_cast<std::int16_t>(v >> 1); }
inline std::int16_t sum16(int a, int b, int c) { return static_cast<std::int16_t>(a + b + c); }

// A half-block's bit strings from the (MODE1-corrected) words of a coded
// block: the first from w0, w2, ..., the second from w1, w3, ...; with an odd
// N the last word's high byte ends the first, its low byte the second.
inline void halfBlockStrings(const std::uint16_t* w, int n, std::uint64_t& first,
                             std::uint64_t& second) {
    std::uint64_t a = 0, b = 0;
    int i = 0;
    for (; i + 1 < n; i += 2) {
        a = a << 16 | w[i];
        b = b << 16 | w[i + 1];
    }
    if (n & 1) {
        a = a << 8 | (w[n - 1] >> 8);
        b = b << 8 | (w[n - 1] & 0xFF);
    }
    first = a << (64 - 8 * n);
    second = b << (64 - 8 * n);
}

void putSample16(std::uint8_t*& out, std::int16_t v, int outBytes) {
    const auto u = static_cast<std::uint16_t>(v);
    if (outBytes == 3) *out++ = 0;
    *out++ = static_cast<std::uint8_t>(u);
    *out++ = static_cast<std::uint8_t>(u >> 8);
}

// The compressed modes' word window: the next words of the file, at least
// eight at a time; words past the end of the file read as 0xFFFF.
class WordWindow {
public:
    explicit WordWindow(ByteReader& reader) : reader_(reader), words_(kCapacity) {}
    const std::uint16_t* front() {
        if (end_ - at_ < kWindowWords) refill();
        return words_.data() + at_;
    }
    void consume(int n) {
        at_ += static_cast<std::size_t>(n);
        consumed_ += static_cast<std::uint64_t>(n);
    }
    // True when every word the file holds after its header has been used.
    bool exhausted() const {
        const auto size = reader_.sourceSize();
        return size && kHeaderSize + 2 * consumed_ >= *size;
    }

private:
    static constexpr std::size_t kCapacity = 4096;
    void refill() {
        const std::size_t keep = end_ - at_;
        std::memmove(words_.data(), words_.data() + at_, keep * 2);
        const std::size_t want = kCapacity - keep;
        bytes_.resize(want * 2);
        reader_.readPadded(bytes_.data(), bytes_.size());
        for (std::size_t k = 0; k < want; ++k)
            words_[keep + k] = static_cast<std::uint16_t>(bytes_[2 * k] | bytes_[2 * k + 1] << 8);
        at_ = 0;
        end_ = kCapacity;
    }
    ByteReader& reader_;
    std::vector<std::uint16_t> words_;
    std::vector<std::uint8_t> bytes_;
    std::size_t at_ = 0, end_ = 0;
    std::uint64_t consumed_ = 0;
};

// Stereo files of the compressed modes, both channels at once, a run of
// blocks at a time. Where each coded block begins follows from the header
// codes alone (a block's length from the top four bits of its first two
// words; MODE1: of words 0 and 2, as the file holds them), so locating a run
// is quick. The work is pipelined over two run slots, with one meeting of the
// threads per run: while run j is decoded (left channel by the main thread,
// right by the worker, each from its own previous sample), run j - 1 is laid
// out as frames (about half by each), the main thread writes run j - 2 and the
// worker locates run j + 1. Bytes past the end of the file read as 0xFF, as
// in the serial decoder.
// Blocks per run of the two-thread decoder: few enough runs that the threads
// seldom wait for each other, bounded buffers (under 6 MB in all).
constexpr std::size_t kRunBlocks = 16384;

class StereoDecoder {
public:
    StereoDecoder(ByteReader& reader, ByteSink& sink, const Header& header, int outBytes)
        : reader_(reader),
          sink_(sink),
          mode_(header.mode),
          outBytes_(outBytes),
          layouts_(layoutTable(header.mode)),
          left_(header.blockCount) {
        for (Slot& slot : slots_) {
            for (auto& pcm : slot.pcm) pcm.resize(kRunBlocks * kFramesPerBlock);
            for (auto& at : slot.blockAt) at.resize(kRunBlocks);
            slot.frames.resize(kRunBlocks * kFramesPerBlock * frameBytes());
            // A run's bytes never need more: the worker allocates nothing.
            slot.bytes.reserve(kRunBlocks * kMaxBlockBytes + 2 * kWindowWords);
        }
    }

    // Blocks decoded (those the file holds).
    std::uint64_t decoded() const { return decoded_; }

    // Decodes every block (the writer flushed before); progress counts the
    // blocks as each run is written.
    bool run(Progress* progress) {
        progress_ = progress;
        locate(slots_[0], slots_[1]);
        bool ok = true;
        std::uint64_t done = 0;
        auto write = [&](const Slot& slot, std::size_t blocks) {
            ok = sink_.write(slot.frames.data(), blocks * kFramesPerBlock * frameBytes()) && ok;
            done += blocks;
            if (progress) progress->done.store(done, std::memory_order_relaxed);
        };
        std::jthread worker([this] { workerLoop(); });
        std::size_t previousRun = 0, runBefore = 0;  // blocks of runs j - 1 and j - 2
        std::size_t j = 0;
        try {
            for (;; ++j) {
                Slot& current = slots_[j % 2];
                const std::size_t blocks = current.located;
                if (blocks == 0 && previousRun == 0) break;
                if (runBefore) write(current, runBefore);  // run j - 2 shares run j's slot
                decodeChannel(current, 0, blocks);
                layOutFrames(slots_[(j + 1) % 2], 0, mainShare(previousRun));
                sync_.arrive_and_wait();
                runBefore = previousRun;
                previousRun = blocks;
            }
        } catch (...) {
            sync_.arrive_and_drop();  // the worker runs on alone to its end, then is joined
            throw;
        }
        worker.join();
        if (runBefore) write(slots_[j % 2], runBefore);
        return ok;
    }

    // True when a cancel ended the run before the last block.
    bool stopped() const { return stopped_; }

private:
    // One run's bytes (from its first block on, the following bytes too),
    // where its blocks begin, its samples and its frames.
    struct Slot {
        std::size_t located = 0;  // blocks of the run located here; 0: none
        std::vector<std::uint8_t> bytes;
        std::size_t end = 0;     // bytes taken by the run's blocks
        std::uint64_t base = 0;  // data offset of bytes[0] (after the file header)
        std::vector<std::size_t> blockAt[2];
        std::vector<std::int16_t> pcm[2];
        std::vector<std::uint8_t> frames;
    };
    static constexpr std::size_t kMaxBlockBytes = 2 * 2 * kMaxWordsPerCodedBlock;  // both channels

    std::size_t frameBytes() const { return 2 * static_cast<std::size_t>(outBytes_); }
    // The frames of a run that the main thread lays out: a little over half,
    // as the worker also locates the runs.
    static std::size_t mainShare(std::size_t blocks) { return blocks * kFramesPerBlock * 9 / 16; }

    void workerLoop() {
        std::size_t previousRun = 0;
        for (std::size_t j = 0;; ++j) {
            Slot& current = slots_[j % 2];
            Slot& other = slots_[(j + 1) % 2];
            const std::size_t blocks = current.located;
            if (blocks == 0 && previousRun == 0) return;
            decodeChannel(current, 1, blocks);
            layOutFrames(other, mainShare(previousRun), previousRun * kFramesPerBlock);
            if (blocks)
                locate(other, current);
            else
                other.located = 0;
            sync_.arrive_and_wait();
            previousRun = blocks;
        }
    }

    static std::uint16_t wordAt(const Slot& slot, std::size_t byte) {
        return static_cast<std::uint16_t>(slot.bytes[byte] | slot.bytes[byte + 1] << 8);
    }

    // Locates the next run in `into`: the bytes after the run in `after`,
    // topped up from the file for a whole run (plus the eight-word window of
    // its last block), and where each of its blocks begins.
    void locate(Slot& into, const Slot& after) {
        // A cancel locates no further run: both threads finish the runs
        // under way and end, in step through their meetings.
        if (left_ > 0 && progress_ && progress_->cancelled()) {
            left_ = 0;
            stopped_ = true;
        }
        into.located = static_cast<std::size_t>(std::min<std::uint64_t>(kRunBlocks, left_));
        left_ -= into.located;
        into.bytes.assign(after.bytes.begin() + static_cast<std::ptrdiff_t>(after.end),
                          after.bytes.end());
        into.base = after.base + after.end;
        const std::size_t need = into.located * kMaxBlockBytes + 2 * kWindowWords;
        if (into.bytes.size() < need) {
            const std::size_t have = into.bytes.size();
            into.bytes.resize(need);
            reader_.readPadded(into.bytes.data() + have, need - have);
        }
        const std::size_t secondHeaderWord = mode_ == Mode::Mode1 ? 2 : 1;
        // Where the file's bytes end in the buffer, once the end was met:
        // blocks that would begin there are not in the file.
        std::uint64_t fileEnd = UINT64_MAX;
        if (const auto size = reader_.sourceSize())
            fileEnd = *size > kHeaderSize + into.base ? *size - kHeaderSize - into.base : 0;
        std::size_t at = 0;
        for (std::size_t b = 0; b < into.located; ++b) {
            if (at >= fileEnd) {
                into.located = b;
                left_ = 0;
                break;
            }
            for (auto& blockAt : into.blockAt) {
                blockAt[b] = at;
                const auto h =
                    static_cast<std::uint8_t>((wordAt(into, at) >> 12) << 4 |
                                              (wordAt(into, at + 2 * secondHeaderWord) >> 12));
                at += 2 * static_cast<std::size_t>(layouts_[h].n);
            }
        }
        decoded_ += into.located;
        into.end = at;
    }

    void decodeChannel(Slot& slot, int ch, std::size_t blocks) {
        std::int16_t* out = slot.pcm[ch].data();
        // The previous sample is kept in a local for the run: the two
        // threads' samples share a cache line, and storing there after every
        // block would make each core wait for the other.
        std::int16_t previous = previous_[ch];
        for (std::size_t b = 0; b < blocks; ++b) {
            // The block's words in one copy; the file holds them little-endian.
            std::uint16_t window[kMaxWordsPerCodedBlock];
            std::memcpy(window, slot.bytes.data() + slot.blockAt[ch][b], sizeof window);
            if constexpr (std::endian::native == std::endian::big)
                for (auto& w : window) w = static_cast<std::uint16_t>(w >> 8 | w << 8);
            decodeCodedBlock(mode_, window, previous, out + b * kFramesPerBlock);
        }
        previous_[ch] = previous;
    }

    void layOutFrames(Slot& slot, std::size_t from, std::size_t to) {
        std::uint8_t* out = slot.frames.data() + from * frameBytes();
        for (std::size_t f = from; f < to; ++f) {
            putSample16(out, slot.pcm[0][f], outBytes_);
            putSample16(out, slot.pcm[1][f], outBytes_);
        }
    }

    ByteReader& reader_;
    ByteSink& sink_;             // the runs' frames go straight to the sink
    std::uint64_t decoded_ = 0;  // blocks located so far
    const Mode mode_;
    const int outBytes_;
    const std::array<BlockLayout, 256>& layouts_;
    std::barrier<> sync_{2};
    std::uint64_t left_;  // blocks not yet located
    Slot slots_[2];
    std::int16_t previous_[2] = {0, 0};
    Progress* progress_ = nullptr;
    bool stopped_ = false;  // a cancel ended the run early
};

bool useTwoThreads(const Header& h, const DecodeOptions& options) {
    // Only on request: on a two-core machine the two-thread decoder measured
    // slower than the serial one (about 27 ms against 14 ms for a minute of
    // 48 kHz stereo), so it is not the default until it is faster.
    return h.channels == 2 && isCompressed(h.mode) && options.threads >= 2;
}

}  // namespace

void decodeHalfBlock(const BlockLayout& lay, std::uint64_t bits, std::int16_t q, std::int16_t* s) {
    int r[kHalfBlockSamples] = {0, 0, 0, 0, 0, 0, 0, 0};
    const int mask = lay.step.mask, round = lay.step.round;
    for (int k = 0; k < lay.fieldCount; ++k) {
        const BlockLayout::Field& f = lay.fields[static_cast<std::size_t>(k)];
        const auto x = static_cast<std::int16_t>((bits << f.position) >> 48);
        r[f.sample] = f.half ? ((x & lay.step.halfMask) | lay.step.halfRound)
                             : (((x >> f.shift) & mask) | round);
    }
    s[7] = static_cast<std::int16_t>(r[7]);
    s[3] = lay.s3Absolute ? static_cast<std::int16_t>(r[3]) : sum16(r[3], half(s[7]), half(q));
    if (lay.s1s5Absolute) {
        s[1] = static_cast<std::int16_t>(r[1]);
        s[5] = static_cast<std::int16_t>(r[5]);
    } else {
        s[1] = sum16(r[1], half(s[3]), half(q));
        s[5] = sum16(r[5], half(s[3]), half(s[7]));
    }
    if (lay.evenAbsolute) {
        s[0] = static_cast<std::int16_t>(r[0]);
        s[2] = static_cast<std::int16_t>(r[2]);
        s[4] = static_cast<std::int16_t>(r[4]);
        s[6] = static_cast<std::int16_t>(r[6]);
    } else {
        s[0] = sum16(r[0], half(s[1]), half(q));
        s[2] = sum16(r[2], half(s[1]), half(s[3]));
        s[4] = sum16(r[4], half(s[3]), half(s[5]));
        s[6] = sum16(r[6], half(s[5]), half(s[7]));
    }
}

int decodeCodedBlock(Mode mode, const std::uint16_t* window, std::int16_t& previous,
                     std::int16_t* samples) {
    std::uint16_t w[kMaxWordsPerCodedBlock];
    std::copy_n(window, kMaxWordsPerCodedBlock, w);
    if (mode == Mode::Mode1) std::swap(w[1], w[2]);
    const auto h = static_cast<std::uint8_t>((w[0] >> 12) << 4 | (w[1] >> 12));
    const BlockLayout& lay = layoutTable(mode)[h];
    std::uint64_t first = 0, second = 0;
    halfBlockStrings(w, lay.n, first, second);
    decodeHalfBlock(lay, first, previous, samples);
    decodeHalfBlock(lay, second, samples[7], samples + 8);
    previous = samples[15];
    return lay.n;
}

std::array<std::uint8_t, kWaveHeaderSize> decodedWaveHeader(const Header& header, int outBytes) {
    const std::uint64_t dataSize =
        header.frames() * static_cast<std::uint64_t>(header.channels * outBytes);
    return canonicalWaveHeader(
        WaveFormat::pcm(static_cast<std::uint16_t>(header.channels), header.sampleRate(),
                        static_cast<std::uint16_t>(8 * outBytes)),
        static_cast<std::uint32_t>(dataSize));
}

Expected<Header> decode(ByteSource& phrase, ByteSink& wave, int outBytes, Progress* progress,
                        const DecodeOptions& options, std::string* warning) {
    if (outBytes != 2 && outBytes != 3)
        return unexpected(
            "the output width must be 16 or 24 bits, not " + std::to_string(8 * outBytes),
            ErrorKind::Other);
    ByteReader reader(phrase);
    std::uint8_t headerBytes[kHeaderSize];
    const std::size_t got = reader.read(headerBytes, kHeaderSize);
    auto header = parseHeader(std::span<const std::uint8_t>(headerBytes, got));
    if (!header) return header;
    const Header& h = *header;
    const int channels = h.channels;
    if (progress) progress->start(h.blockCount);

    ByteWriter writer(wave);
    const auto waveHeader = decodedWaveHeader(h, outBytes);
    writer.write(waveHeader.data(), waveHeader.size());
    const std::size_t frameBytes = static_cast<std::size_t>(channels * outBytes);
    const std::size_t blockOut = kFramesPerBlock * frameBytes;
    // A header that claims fewer blocks than the file holds is patched to
    // the blocks written, with a warning.
    auto finish = [&](std::uint32_t written) -> Expected<Header> {
        if (written < h.blockCount) {
            if (warning)
                *warning = "the header claims " + std::to_string(h.blockCount) +
                           " blocks, but the file holds " + std::to_string(written) +
                           "; only those were decoded";
            header->blockCount = written;
            const auto fixed = decodedWaveHeader(*header, outBytes);
            if (!wave.writeAt(0, fixed.data(), fixed.size()))
                return unexpected("cannot write the WAV file", ErrorKind::WriteFailed);
        }
        return header;
    };
    // The two-thread decoder checks no size limit: it takes only what fits.
    if (useTwoThreads(h, options) &&
        kWaveHeaderSize + std::uint64_t{h.blockCount} * blockOut <= UINT32_MAX) {
        StereoDecoder stereo(reader, wave, h, outBytes);
        const bool written = writer.flush() && stereo.run(progress);
        if (stereo.stopped()) return unexpected(kCancelled, ErrorKind::Cancelled);
        if (!written) return unexpected("cannot write the WAV file", ErrorKind::WriteFailed);
        return finish(static_cast<std::uint32_t>(stereo.decoded()));
    }

    std::uint8_t in[2 * 48];
    std::int16_t pcm[2][kFramesPerBlock];
    std::int16_t previous[2] = {0, 0};
    WordWindow window(reader);
    const bool coded = h.mode != Mode::Linear && h.mode != Mode::HLinear;
    std::uint32_t block = 0;
    for (; block < h.blockCount; ++block) {
        // Only the blocks the file holds are decoded, however many the header
        // claims; a block cut short reads its missing bytes as 0xFF.
        bool ended = false;
        if (coded) {
            window.front();  // loads the words, so the end of the file is known
            ended = window.exhausted();
        } else {
            ended = reader.atEnd();
        }
        if (ended) break;
        if (kWaveHeaderSize + (block + std::uint64_t{1}) * blockOut > UINT32_MAX)
            return unexpected("block count " + std::to_string(h.blockCount) +
                                  " is too large: the WAV file would exceed 4 GiB",
                              ErrorKind::FileTooLarge);
        std::uint8_t* out = writer.reserve(blockOut);
        switch (h.mode) {
            case Mode::Linear: {
                const std::size_t n = kFramesPerBlock * 2 * static_cast<std::size_t>(channels);
                reader.readPadded(in, n);
                if (outBytes == 2) {
                    std::memcpy(out, in, n);
                } else {
                    for (std::size_t k = 0; k < n; k += 2) {
                        *out++ = 0;
                        *out++ = in[k];
                        *out++ = in[k + 1];
                    }
                }
                break;
            }
            case Mode::HLinear: {
                reader.readPadded(in, 48 * static_cast<std::size_t>(channels));
                for (std::size_t frame = 0; frame < kFramesPerBlock; ++frame) {
                    for (int ch = 0; ch < channels; ++ch) {
                        // Pair bytes c0..c5: A mid, A lo, B lo, A hi, B hi, B mid.
                        const std::uint8_t* c = in + 48 * ch + 6 * (frame / 2);
                        std::uint8_t lo, mid, hi;
                        if (frame % 2 == 0) {
                            lo = c[1], mid = c[0], hi = c[3];
                        } else {
                            lo = c[2], mid = c[5], hi = c[4];
                        }
                        if (outBytes == 3) *out++ = lo;
                        *out++ = mid;
                        *out++ = hi;
                    }
                }
                break;
            }
            default: {
                for (int ch = 0; ch < channels; ++ch) {
                    const int n = decodeCodedBlock(h.mode, window.front(), previous[ch], pcm[ch]);
                    window.consume(n);
                }
                for (std::size_t frame = 0; frame < kFramesPerBlock; ++frame)
                    for (int ch = 0; ch < channels; ++ch)
                        putSample16(out, pcm[ch][frame], outBytes);
                break;
            }
        }
        if (progress) {
            progress->done.store(block + 1u, std::memory_order_relaxed);
            if (progress->cancelled()) return unexpected(kCancelled, ErrorKind::Cancelled);
        }
    }
    if (!writer.flush()) return unexpected("cannot write the WAV file", ErrorKind::WriteFailed);
    return finish(block);
}

Expected<Header> decodeFile(const std::filesystem::path& phrase, const std::filesystem::path& wave,
                            int outBytes, Progress* progress, std::string* warning) {
    return decodeFile(realFileSystem(), phrase, wave, outBytes, progress, warning);
}

Expected<Header> decodeFile(FileSystem& fs, const std::filesystem::path& phrase,
                            const std::filesystem::path& wave, int outBytes, Progress* progress,
                            std::string* warning) {
    FileSource in;
    if (Status s = in.begin(phrase); !s) return s.error();
    AtomicFileSink out(fs);
    if (Status s = out.begin(wave); !s) return s.error();
    auto result = decode(in, out, outBytes, progress, {}, warning);
    if (!result) {
        // A write failure names the WAV file; anything else the phrase file.
        const bool writeFailed = out.failed();
        out.discard();
        return writeFailed ? out.status().error() : inFile(result.error(), phrase);
    }
    if (Status s = out.complete(); !s) return s.error();
    return result;
}

}  // namespace wqe::kpac
