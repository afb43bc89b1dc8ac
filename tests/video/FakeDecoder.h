#pragma once
// A decoder double for the frame server's planning: it decodes nothing, but walks like FFMS2 (a
// request ahead within reach decodes forward, any other one seeks to the keyframe before it and
// decodes every picture from there) and counts each picture it decodes on the way. Its pictures
// carry their coded index in the first pixel. A gate can hold the decode thread inside a request.

#include "player/video/Decoder.h"
#include "player/video/VideoDevice.h"

#include <QColor>

#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

namespace kadro::test {

class FakeVideo : public DecoderFactory {
public:
    struct Work {
        std::vector<int> decoded;   // per coded picture: how often a decoder decoded it
        std::vector<int> delivered; // the pictures returned, in order
        std::vector<int> decoderOf; // per delivery: which decoder (order of making, 0 = first)
        std::map<int, int> attempts; // requests per coded picture, failed ones included
        int decodersMade = 0;
    };

    FakeVideo(int pictures, int keyInterval, std::size_t decoderBytes = 0, bool linear = false)
        : decoderBytes_(decoderBytes), state_(std::make_shared<State>())
    {
        std::vector<int> keys;
        for (int k = 0; k < pictures; k += keyInterval)
            keys.push_back(k);
        model_ = DecodeModel(pictures, keys, linear);
        state_->model = &model_;
        state_->work.decoded.assign(std::size_t(pictures), 0);
    }

    const DecodeModel& decodeModel() const override { return model_; }
    std::unique_ptr<Decoder> newDecoder() const override
    {
        std::lock_guard lock(state_->mutex);
        return std::make_unique<FakeDecoder>(state_, state_->work.decodersMade++);
    }
    std::unique_ptr<Decoder> takeDecoder() override { return newDecoder(); }
    std::size_t decoderBytes() const override { return decoderBytes_; }

    Work work() const
    {
        std::lock_guard lock(state_->mutex);
        return state_->work;
    }
    // Requests for `coded` fail (VideoDeviceError).
    void failAt(int coded)
    {
        std::lock_guard lock(state_->mutex);
        state_->failing.insert(coded);
    }
    // While closed, a request waits inside the decoder.
    void closeGate()
    {
        std::lock_guard lock(state_->mutex);
        state_->gateOpen = false;
    }
    void openGate()
    {
        {
            std::lock_guard lock(state_->mutex);
            state_->gateOpen = true;
        }
        state_->gate.notify_all();
    }
    // Closes the gate once `deliveries` more pictures have been delivered, so the decode thread
    // stops right after them.
    void closeGateAfter(int deliveries)
    {
        std::lock_guard lock(state_->mutex);
        state_->closeAt = state_->work.delivered.size() + std::size_t(deliveries);
    }
    // The picture a request waits for at the closed gate (-1 none); waits up to `ms` for one.
    int heldAtGate(int ms) const
    {
        std::unique_lock lock(state_->mutex);
        state_->gate.wait_for(lock, std::chrono::milliseconds(ms), [&] { return state_->held >= 0; });
        return state_->held;
    }

    // The coded index a fake picture carries.
    static int numberOf(const QImage& image)
    {
        if (image.isNull())
            return -1;
        const QRgb p = image.pixel(0, 0);
        return qRed(p) | (qGreen(p) << 8);
    }

private:
    struct State {
        std::mutex mutex;
        std::condition_variable gate;
        bool gateOpen = true;
        int held = -1;
        std::size_t closeAt = 0; // close the gate when this many pictures were delivered (0 never)
        std::set<int> failing;
        const DecodeModel* model = nullptr;
        Work work;
    };

    class FakeDecoder : public Decoder {
    public:
        FakeDecoder(std::shared_ptr<State> state, int id) : state_(std::move(state)), id_(id) {}
        QImage picture(int coded) override
        {
            std::unique_lock lock(state_->mutex);
            if (!state_->gateOpen) {
                state_->held = coded;
                state_->gate.notify_all();
                state_->gate.wait(lock, [&] { return state_->gateOpen; });
                state_->held = -1;
            }
            ++state_->work.attempts[coded];
            if (state_->failing.count(coded)) {
                position_ = -1;
                throw VideoDeviceError("fake: cannot decode");
            }
            const DecodeModel& m = *state_->model;
            int from = coded + 1; // nothing to decode when it stands there
            if (m.decodesForward(position_, coded))
                from = position_ + 1;
            else if (coded != position_)
                from = m.seekStart(coded);
            for (int c = from; c <= coded; ++c)
                ++state_->work.decoded[std::size_t(c)];
            state_->work.delivered.push_back(coded);
            state_->work.decoderOf.push_back(id_);
            if (state_->work.delivered.size() == state_->closeAt)
                state_->gateOpen = false;
            position_ = coded;
            QImage img(size_, QImage::Format_RGB32);
            img.fill(qRgb(coded & 0xff, (coded >> 8) & 0xff, 0));
            return img;
        }
        int position() const override { return position_; }
        void setOutputSize(const QSize& size) override { size_ = size; }
        QSize outputSize() const override { return size_; }

    private:
        std::shared_ptr<State> state_;
        int id_;
        int position_ = -1;
        QSize size_{16, 12};
    };

    DecodeModel model_;
    std::size_t decoderBytes_;
    std::shared_ptr<State> state_;
};

} // namespace kadro::test
