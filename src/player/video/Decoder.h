#pragma once
// The small decoding interface the frame server plans over, free of any decoding library, so the
// planning can be tested with a decoder that only counts its work.
//
// Pictures are addressed by coded index: the n-th picture of the video track in presentation
// order (what FFMS2 calls a frame). The device's frame numbers map onto them (see AviSlots).

#include <QImage>
#include <QSize>

#include <cstddef>
#include <memory>
#include <vector>

namespace kadro {

// One decoder of a file. Not thread-safe: one thread at a time uses it.
class Decoder {
public:
    virtual ~Decoder() = default;
    // The picture of coded picture `coded` at outputSize(). Throws VideoDeviceError; where the
    // decoder stands is unknown (position() -1) after a failure.
    virtual QImage picture(int coded) = 0;
    // The coded picture decoded last (-1 before the first).
    virtual int position() const = 0;
    // Size of the pictures delivered (scaled when different from the coded size).
    virtual void setOutputSize(const QSize& size) = 0;
    virtual QSize outputSize() const = 0;
};

// How a decoder of a given file reaches a picture, as the frame server needs to know it to plan:
// a request shortly ahead of where the decoder stands is decoded forward; any other one starts
// again at the keyframe at or before it (or at the very start when decoding linearly), decoding
// every picture on the way.
class DecodeModel {
public:
    DecodeModel() = default;
    // `keyframes`: coded indices of the keyframes, ascending (0 is added when missing).
    DecodeModel(int codedCount, std::vector<int> keyframes, bool linear);

    int codedCount() const { return codedCount_; }
    const std::vector<int>& keyframes() const { return keyframes_; }
    // True when a backward request decodes from the start of the file.
    bool linear() const { return linear_; }

    // The keyframe at or before `coded`.
    int keyframeAtOrBefore(int coded) const;
    // Where decoding has to start to reach `coded` after a seek: its keyframe, or 0 when linear.
    int seekStart(int coded) const;
    // Whether a decoder at `position` (-1 = none) reaches `coded` by decoding forward.
    bool decodesForward(int position, int coded) const;
    // About how many pictures a decoder at `position` decodes to deliver `coded`, a seek counted
    // as a few pictures more (for choosing between decoders).
    int decodeCost(int position, int coded) const;
    // Pictures decoded to deliver `coded` from `position`, without the seek's surcharge.
    int picturesDecoded(int position, int coded) const;

    // A request at most this many pictures past the decoder's keyframe horizon is decoded forward
    // without seeking (FFMS2's own margin).
    static constexpr int kForwardMargin = 10;
    // What a seek costs beyond the pictures it decodes, in pictures.
    static constexpr int kSeekPenalty = 3;

private:
    int codedCount_ = 0;
    std::vector<int> keyframes_{0};
    bool linear_ = false;
};

// Makes the decoders of one file and tells how they behave.
class DecoderFactory {
public:
    virtual ~DecoderFactory() = default;
    virtual const DecodeModel& decodeModel() const = 0;
    // A new decoder, at the coded picture size.
    virtual std::unique_ptr<Decoder> newDecoder() const = 0;
    // The decoder left over from opening the file, if any (once; later calls make new ones).
    virtual std::unique_ptr<Decoder> takeDecoder() = 0;
    // What one more decoder holds in memory beyond the pictures it delivers (its reference and
    // reordering pictures at the coded size), estimated from the picture size and the stream.
    virtual std::size_t decoderBytes() const = 0;
};

} // namespace kadro
