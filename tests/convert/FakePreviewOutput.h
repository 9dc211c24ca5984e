// An audio output for the preview tests that plays what it is told to.
#pragma once

#include <vector>

#include "convert/PreviewSource.h"

namespace wqe::test {

class FakeOutput : public PreviewOutput {
public:
    bool available() const override { return isAvailable; }
    Status start(const PreviewFormat& format, PreviewPlayback& playback) override {
        ++starts;
        if (refuse) return Error{ErrorKind::Unsupported, "", "no such format"};
        format_ = format;
        playback_ = &playback;
        played = 0;
        return {};
    }
    void stop() override {
        ++stops;
        playback_ = nullptr;
    }
    std::uint64_t playedFrames() const override { return played; }
    // Pulls and hears up to `frames` frames; at the end of the data, drains.
    std::size_t play(std::size_t frames) {
        if (!playback_) return 0;
        std::vector<std::int16_t> pcm(frames * static_cast<std::size_t>(format_.channels));
        const std::size_t got = playback_->pull(pcm.data(), frames);
        played += got;
        if (got == 0 && playback_->pullEnded()) playback_->drained();
        return got;
    }

    bool isAvailable = true;
    bool refuse = false;
    int starts = 0, stops = 0;
    std::uint64_t played = 0;

private:
    PreviewFormat format_;
    PreviewPlayback* playback_ = nullptr;
};

}  // namespace wqe::test
