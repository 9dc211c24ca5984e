#include "codec/KpacDecoder.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cstring>
#include <exception>
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

// The bodies of decodeHalfBlock and decodeCodedBlock, inlined into the
// decoding loops.
[[gnu::always_inline]] inline void halfBlock(const BlockLayout& lay, std::uint64_t bits,
                                             std::int16_t q, std::int16_t* s) {
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

// Decodes the coded block whose words are `w` (at least the block's own, as
// the file holds them; changed in place), with the layouts of its mode.
[[gnu::always_inline]] inline int codedBlock(const std::array<BlockLayout, 256>& layouts,
                                             bool mode1, std::uint16_t* w, std::int16_t& previous,
                                             std::int16_t* samples) {
    if (mode1) std::swap(w[1], w[2]);
    const auto h = static_cast<std::uint8_t>((w[0] >> 12) << 4 | (w[1] >> 12));
    const BlockLayout& lay = layouts[h];
    std::uint64_t first = 0, second = 0;
    halfBlockStrings(w, lay.n, first, second);
    halfBlock(lay, first, previous, samples);
    halfBlock(lay, second, samples[7], samples + 8);
    previous = samples[15];
    return lay.n;
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

// Stereo files of the compressed modes, one channel per thread. Only the
// previous sample carries from block to block, so each channel decodes on
// its own: the main thread reads the file a chunk of block pairs at a time
// and decodes the left channel, the worker decodes the right channel of the
// chunk the main thread finished and writes the whole chunk to the sink.
// Each thread walks the chain of blocks itself (a block's length follows
// from the two header codes of its first words), and writes its samples
// straight into the chunk's interleaved frames: the left channel of chunk k
// is written while the right one of chunk k - 1 is, so the two threads never
// store into the same cache line. The threads meet only through two counters
// (chunks ready, chunks written). Bytes past the end of the file read as
// 0xFF, as in the serial decoder.
class StereoDecoder {
public:
    StereoDecoder(ByteReader& reader, ByteSink& sink, const Header& header, int outBytes)
        : reader_(reader),
          sink_(sink),
          mode_(header.mode),
          outBytes_(outBytes),
          layouts_(layoutTable(header.mode)),
          left_(header.blockCount) {
        for (std::size_t h = 0; h < blockBytes_.size(); ++h)
            blockBytes_[h] = static_cast<std::uint8_t>(2 * layouts_[h].n);
        for (Chunk& chunk : chunks_) {
            chunk.frames.resize(kChunkPairs * kFramesPerBlock * frameBytes() + kCacheLine);
            chunk.bytes.reserve(kChunkPairs * kMaxPairBytes + kPadBytes);
        }
    }

    // Block pairs decoded (those the file holds).
    std::uint64_t decoded() const { return decoded_; }
    // True when a cancel ended the run before the last block.
    bool stopped() const { return stopped_; }

    // Decodes every block pair (the writer flushed before); progress counts
    // the blocks as each chunk is written. False when the sink failed.
    bool run(Progress* progress) {
        progress_ = progress;
        std::jthread worker([this] { workerLoop(); });
        try {
            for (std::uint64_t k = 0;; ++k) {
                // The chunk's slot was used by chunk k - 3: wait until it was written.
                if (k >= kSlots) waitAtLeast(written_, k - kSlots + 1);
                if (failed_.load(std::memory_order_acquire)) break;
                Chunk& chunk = chunks_[k % kSlots];
                fill(chunk, k == 0 ? nullptr : &chunks_[(k - 1) % kSlots]);
                decodeLeft(chunk);
                publish(ready_, k + 1);
                if (chunk.pairs == 0) break;  // the worker ends at the empty chunk
            }
        } catch (...) {
            endWorker();
            throw;
        }
        worker.join();
        if (workerError_) std::rethrow_exception(workerError_);
        return !failed_.load(std::memory_order_relaxed);
    }

private:
    // One chunk: the file's bytes from its first block on (the following
    // bytes too), how many block pairs it holds and where they end, and its
    // frames.
    struct Chunk {
        std::vector<std::uint8_t> bytes;
        std::size_t pairs = 0;
        std::size_t end = 0;  // bytes taken by the chunk's blocks
        std::vector<std::uint8_t> frames;
    };

    // Block pairs per chunk: the chunk's frames stay in the cores' caches
    // (64 kB at 16 bits), and the threads meet a few thousand times an hour
    // of sound.
    static constexpr std::size_t kChunkPairs = 1024;
    static constexpr std::size_t kSlots = 3;
    static constexpr std::size_t kCacheLine = 64;
    static constexpr std::size_t kMaxPairBytes = 2 * 2 * kMaxWordsPerCodedBlock;
    static constexpr std::size_t kPadBytes = 2 * kWindowWords;

    std::size_t frameBytes() const { return 2 * static_cast<std::size_t>(outBytes_); }

    static void pause() {
#if defined(__x86_64__) || defined(__i386__)
        __builtin_ia32_pause();
#endif
    }

    // Waits until `counter` reaches `value`. The other thread is usually a
    // few microseconds away, and a sleep and wake-up costs far more than
    // that (tens of microseconds in a virtual machine, where it made the two
    // threads slower than one): spin, then give the core away, and sleep
    // only when the other thread is really held up.
    static void waitAtLeast(const std::atomic<std::uint64_t>& counter, std::uint64_t value) {
        auto reached = [&] { return counter.load(std::memory_order_acquire) >= value; };
        for (int spin = 0; spin < (1 << 14); ++spin) {
            if (reached()) return;
            pause();
        }
        for (int round = 0; round < (1 << 12); ++round) {
            if (reached()) return;
            std::this_thread::yield();
        }
        for (std::uint64_t seen; (seen = counter.load(std::memory_order_acquire)) < value;)
            counter.wait(seen, std::memory_order_acquire);
    }

    static void publish(std::atomic<std::uint64_t>& counter, std::uint64_t value) {
        counter.store(value, std::memory_order_release);
        counter.notify_one();
    }

    // After a failure on the main thread: the worker sees an empty chunk.
    void endWorker() {
        failed_.store(true, std::memory_order_release);
        publish(ready_, UINT64_MAX);
    }

    std::uint16_t wordAt(const Chunk& chunk, std::size_t byte) const {
        return static_cast<std::uint16_t>(chunk.bytes[byte] | chunk.bytes[byte + 1] << 8);
    }

    // The number of bytes of the coded block at `at`.
    std::size_t blockBytes(const Chunk& chunk, std::size_t at) const {
        const std::size_t second = mode_ == Mode::Mode1 ? 2 : 1;
        const auto h = static_cast<std::uint8_t>((wordAt(chunk, at) >> 12) << 4 |
                                                 (wordAt(chunk, at + 2 * second) >> 12));
        return blockBytes_[h];
    }

    // The chunk's bytes: what follows the previous chunk's blocks, topped up
    // from the file for a whole chunk (plus the window of its last block),
    // and how many block pairs it holds.
    void fill(Chunk& chunk, const Chunk* previous) {
        // A cancel reads no further chunk: the chunks under way finish.
        if (left_ > 0 && progress_ && progress_->cancelled()) {
            left_ = 0;
            stopped_ = true;
        }
        chunk.pairs = static_cast<std::size_t>(std::min<std::uint64_t>(kChunkPairs, left_));
        left_ -= chunk.pairs;
        if (previous)
            chunk.bytes.assign(previous->bytes.begin() + static_cast<std::ptrdiff_t>(previous->end),
                               previous->bytes.end());
        else
            chunk.bytes.clear();
        base_ += previous ? previous->end : 0;
        const std::size_t need = chunk.pairs * kMaxPairBytes + kPadBytes;
        if (chunk.bytes.size() < need) {
            const std::size_t have = chunk.bytes.size();
            chunk.bytes.resize(need);
            reader_.readPadded(chunk.bytes.data() + have, need - have);
        }
        // Where the file's bytes end in the chunk, once the end was met:
        // block pairs that would begin there are not in the file.
        fileEnd_ = UINT64_MAX;
        if (const auto size = reader_.sourceSize())
            fileEnd_ = *size > kHeaderSize + base_ ? *size - kHeaderSize - base_ : 0;
    }

    // Decodes one channel's block into the frames at `out` (every other
    // sample slot); returns the block's length in bytes.
    std::size_t decodeInto(const Chunk& chunk, std::size_t at, std::int16_t& previous,
                           std::uint8_t* out) const {
        std::uint16_t window[kMaxWordsPerCodedBlock];
        std::memcpy(window, chunk.bytes.data() + at, sizeof window);
        if constexpr (std::endian::native == std::endian::big)
            for (auto& w : window) w = static_cast<std::uint16_t>(w >> 8 | w << 8);
        std::int16_t samples[kFramesPerBlock];
        const int words = codedBlock(layouts_, mode_ == Mode::Mode1, window, previous, samples);
        const std::size_t step = frameBytes();
        if (outBytes_ == 2 && std::endian::native == std::endian::little) {
            for (std::size_t f = 0; f < kFramesPerBlock; ++f)
                std::memcpy(out + f * step, &samples[f], 2);
        } else {
            for (std::size_t f = 0; f < kFramesPerBlock; ++f, out += step) {
                std::uint8_t* o = out;
                putSample16(o, samples[f], outBytes_);
            }
        }
        return 2 * static_cast<std::size_t>(words);
    }

    // The main thread's part: the left channel, and where the chunk's block
    // pairs end (fewer pairs when the file ends first).
    void decodeLeft(Chunk& chunk) {
        std::int16_t previous = previousLeft_;
        std::uint8_t* out = chunk.frames.data();
        std::size_t at = 0;
        for (std::size_t p = 0; p < chunk.pairs; ++p) {
            if (at >= fileEnd_) {
                chunk.pairs = p;
                left_ = 0;
                break;
            }
            at += decodeInto(chunk, at, previous, out + p * kFramesPerBlock * frameBytes());
            at += blockBytes(chunk, at);
        }
        chunk.end = at;
        previousLeft_ = previous;
        decoded_ += chunk.pairs;
    }

    // The worker's part: the right channel of each chunk the main thread
    // finished, then the chunk's frames to the sink.
    void workerLoop() {
        std::int16_t previous = 0;
        std::uint64_t blocks = 0;
        try {
            for (std::uint64_t k = 0;; ++k) {
                waitAtLeast(ready_, k + 1);
                if (failed_.load(std::memory_order_acquire)) return;
                Chunk& chunk = chunks_[k % kSlots];
                if (chunk.pairs == 0) return;
                std::uint8_t* out = chunk.frames.data() + static_cast<std::size_t>(outBytes_);
                std::size_t at = 0;
                for (std::size_t p = 0; p < chunk.pairs; ++p) {
                    at += blockBytes(chunk, at);
                    at += decodeInto(chunk, at, previous, out + p * kFramesPerBlock * frameBytes());
                }
                if (!sink_.write(chunk.frames.data(),
                                 chunk.pairs * kFramesPerBlock * frameBytes())) {
                    failed_.store(true, std::memory_order_release);
                    publish(written_, UINT64_MAX);
                    return;
                }
                blocks += chunk.pairs;
                if (progress_) progress_->done.store(blocks, std::memory_order_relaxed);
                publish(written_, k + 1);
            }
        } catch (...) {
            workerError_ = std::current_exception();
            failed_.store(true, std::memory_order_release);
            publish(written_, UINT64_MAX);
        }
    }

    ByteReader& reader_;
    ByteSink& sink_;  // written by the worker only
    const Mode mode_;
    const int outBytes_;
    const std::array<BlockLayout, 256>& layouts_;
    // A block's length in bytes by its header codes: the walk over the other
    // channel's blocks reads only this small table.
    std::array<std::uint8_t, 256> blockBytes_;
    std::uint64_t left_;         // block pairs not yet read
    std::uint64_t base_ = 0;     // data offset of the current chunk's first byte
    std::uint64_t fileEnd_ = 0;  // the file's end within the current chunk
    std::uint64_t decoded_ = 0;  // block pairs read so far
    std::int16_t previousLeft_ = 0;
    Chunk chunks_[kSlots];
    alignas(64) std::atomic<std::uint64_t> ready_{0};    // chunks the main thread finished
    alignas(64) std::atomic<std::uint64_t> written_{0};  // chunks the worker wrote
    std::atomic<bool> failed_{false};
    std::exception_ptr workerError_;
    Progress* progress_ = nullptr;
    bool stopped_ = false;
};

bool useTwoThreads(const Header& h, const DecodeOptions& options) {
    return h.channels == 2 && isCompressed(h.mode) && options.threads >= 2;
}

}  // namespace

void decodeHalfBlock(const BlockLayout& lay, std::uint64_t bits, std::int16_t q, std::int16_t* s) {
    halfBlock(lay, bits, q, s);
}

int decodeCodedBlock(Mode mode, const std::uint16_t* window, std::int16_t& previous,
                     std::int16_t* samples) {
    std::uint16_t w[kMaxWordsPerCodedBlock];
    std::copy_n(window, kMaxWordsPerCodedBlock, w);
    return codedBlock(layoutTable(mode), mode == Mode::Mode1, w, previous, samples);
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

DecodeOptions loneFileDecodeOptions() {
    return DecodeOptions{std::thread::hardware_concurrency() >= 2 ? 2 : 1};
}

Expected<Header> decodeFile(const std::filesystem::path& phrase, const std::filesystem::path& wave,
                            int outBytes, Progress* progress, std::string* warning,
                            const DecodeOptions& options) {
    return decodeFile(realFileSystem(), phrase, wave, outBytes, progress, warning, options);
}

Expected<Header> decodeFile(FileSystem& fs, const std::filesystem::path& phrase,
                            const std::filesystem::path& wave, int outBytes, Progress* progress,
                            std::string* warning, const DecodeOptions& options) {
    FileSource in;
    if (Status s = in.begin(phrase); !s) return s.error();
    AtomicFileSink out(fs);
    if (Status s = out.begin(wave); !s) return s.error();
    auto result = decode(in, out, outBytes, progress, options, warning);
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
