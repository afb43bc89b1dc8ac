#include "player/video/SeekCheck.h"

#include "player/video/OpenProgress.h"
#include "player/video/PictureVerdicts.h"
#include "player/video/PtsDecoder.h"
#include "player/video/VideoDevice.h"
#include "player/video/VideoIndex.h"

#include <QHash>

extern "C" {
#include <libavutil/imgutils.h>
#include <libavutil/pixdesc.h>
}

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

namespace kadro {

namespace {

// Hash of a decoded picture in the decoder's own format (all planes, without row padding).
std::size_t pictureHash(const FFMS_Frame* f)
{
    const uint8_t* planes[4] = {f->Data[0], f->Data[1], f->Data[2], f->Data[3]};
    return kadro::pictureHash(planes, f->Linesize, f->EncodedPixelFormat, f->EncodedWidth, f->EncodedHeight);
}

std::size_t codedPictureBytes(const FFMS_Frame* f)
{
    const int bytes = av_image_get_buffer_size(AVPixelFormat(f->EncodedPixelFormat), f->EncodedWidth,
                                               f->EncodedHeight, 1);
    // Unknown formats count as 4 bytes a pixel.
    return bytes > 0 ? std::size_t(bytes) : std::size_t(f->EncodedWidth) * std::size_t(f->EncodedHeight) * 4u;
}

} // namespace

FfmsVideoPtr openFfmsVideo(const VideoIndex& index, int seekMode)
{
    // One thread per decoder: the check verifies normal seeking with one, the decode thread runs
    // beside the GUI on small machines, and a frame-threaded decoder keeps several times the memory.
    FfmsError err;
    FfmsVideoPtr src(FFMS_CreateVideoSource(index.fileName().constData(), index.videoTrack(), index.get(), 1,
                                            seekMode, &err.info));
    if (!src)
        throw VideoDeviceError(err.text("cannot open the video decoder"));
    return src;
}

std::optional<SeekCheckResult> trustSeeking(const VideoIndex& index, int probeFrames, const QString& reason,
                                            PictureVerdicts* verdicts)
{
    SeekCheckResult result;
    SeekVerdict& v = result.verdict;
    v.probeFrames = probeFrames;
    v.linear = false;
    v.reason = QStringLiteral("seeking settled by the structure: %1").arg(reason);
    try {
        result.decoder = openFfmsVideo(index, FFMS_SEEK_NORMAL);
    } catch (const VideoDeviceError&) {
        return std::nullopt;
    }
    DecodeErrors errors;
    FfmsError err;
    const FFMS_Frame* f = FFMS_GetFrame(result.decoder.get(), 0, &err.info);
    if (!f || (errors.count() > 0 && !(verdicts && verdicts->sound(0))))
        return std::nullopt;
    v.size = QSize(f->EncodedWidth, f->EncodedHeight);
    v.pictureBytes = codedPictureBytes(f);
    if (f->PictType == 'B' || f->PictType == 'b')
        v.sawBFrames = true;
    const FFMS_VideoProperties* props = FFMS_GetVideoProperties(result.decoder.get());
    if (props && props->SARNum > 0 && props->SARDen > 0)
        v.pixelAspect = double(props->SARNum) / double(props->SARDen);
    result.position = 0;
    return result;
}

SeekCheckResult checkSeeking(const VideoIndex& index, Seeking seeking, int probeFrames, ProgressPhases& progress,
                             PictureVerdicts* verdicts)
{
    SeekCheckResult result;
    SeekVerdict& v = result.verdict;
    v.probeFrames = probeFrames;
    const int coded = index.codedCount();
    const std::vector<int>& keyframes = index.keyframes();
    const bool verify = seeking == Seeking::Verified;

    // The reference: a linear decode of the start of the file. It also tells whether the video
    // has B-frames, which decides the AVI numbering.
    FfmsVideoPtr linear = openFfmsVideo(index, FFMS_SEEK_LINEAR);
    int range = std::min(coded, std::max(1, probeFrames));
    if (keyframes.size() >= 3)
        range = std::min(range, std::max(48, keyframes[2] + 4));
    if (!verify)
        range = std::min(range, 48);

    // Progress: the reference decode and the seeked requests weigh about the same.
    // A picture the decoder reports errors on ends the reference: the linear count of the pictures
    // after it cannot be trusted (a dropped picture shifts it), and the decoder is given up.
    std::vector<std::size_t> ref(static_cast<std::size_t>(range));
    for (int i = 0; i < range; ++i) {
        progress.step(i, 2L * range);
        DecodeErrors errors;
        FfmsError err;
        const FFMS_Frame* f = FFMS_GetFrame(linear.get(), i, &err.info);
        if (!f && i == 0)
            throw VideoDeviceError(err.text("cannot decode the video"));
        if (!f || (errors.count() > 0 && i > 0 && !(verdicts && verdicts->sound(i)))) {
            range = i;
            ref.resize(std::size_t(range));
            linear.reset();
            break;
        }
        if (i == 0) {
            v.size = QSize(f->EncodedWidth, f->EncodedHeight);
            v.pictureBytes = codedPictureBytes(f);
            const FFMS_VideoProperties* props = FFMS_GetVideoProperties(linear.get());
            if (props && props->SARNum > 0 && props->SARDen > 0)
                v.pixelAspect = double(props->SARNum) / double(props->SARDen);
        }
        if (f->PictType == 'B' || f->PictType == 'b')
            v.sawBFrames = true;
        ref[std::size_t(i)] = pictureHash(f);
    }
    v.referenceFrames = range;


    if (seeking == Seeking::Linear) {
        v.linear = true;
        v.reason = QStringLiteral("linear decoding requested");
        result.decoder = std::move(linear);
        result.position = result.decoder ? range - 1 : -1;
        return result;
    }
    FfmsVideoPtr normal = openFfmsVideo(index, FFMS_SEEK_NORMAL);
    if (!verify) {
        v.reason = QStringLiteral("normal seeking requested");
        result.decoder = std::move(normal);
        return result;
    }

    // A position is comparable if its picture differs from its neighbours in the reference: a
    // seek that lands a few frames off is then visible as a different picture.
    auto comparable = [&](int p) {
        for (int d = -3; d <= 3; ++d) {
            const int q = p + d;
            if (d != 0 && q >= 0 && q < range && ref[std::size_t(q)] == ref[std::size_t(p)])
                return false;
        }
        return true;
    };
    auto keyframeAtOrBefore = [&](int p) {
        const auto it = std::upper_bound(keyframes.begin(), keyframes.end(), p);
        return it == keyframes.begin() ? 0 : *std::prev(it);
    };

    // Candidate requests in order of importance: keyframes and the frames after them (where an
    // open GOP makes the landing guess wrong), the frame before each keyframe (where reordered
    // B-frames in AVI go wrong), then further neighbours and the middle of each interval.
    std::vector<int> bounds;
    for (int k : keyframes)
        if (k > 0 && k < range)
            bounds.push_back(k);
    std::vector<int> candidates;
    auto add = [&](int p) {
        if (p > 0 && p < range && std::find(candidates.begin(), candidates.end(), p) == candidates.end())
            candidates.push_back(p);
    };
    for (int k : bounds) {
        add(k);
        add(k + 1);
    }
    for (int k : bounds)
        add(k - 1);
    for (int k : bounds) {
        add(k + 2);
        add(k - 2);
        add(k + 3);
        add(k - 3);
    }
    for (std::size_t i = 0; i + 1 < keyframes.size() && keyframes[i] < range; ++i)
        add((keyframes[i] + std::min(range, keyframes[i + 1])) / 2);
    add(range - 1);
    add(range / 2);
    add(range / 3);
    add((2 * range) / 3);

    // Keep the check's decoding work near the size of the reference decode.
    const long budget = std::max<long>(200, 2L * range);
    long cost = 0;
    std::vector<int> chosen;
    for (int p : candidates) {
        const long c = p - keyframeAtOrBefore(p) + 2;
        if (cost + c > budget && chosen.size() >= 8)
            continue;
        cost += c;
        chosen.push_back(p);
    }

    // Backward requests always make FFMS2 seek: ask from the end towards the start, and follow
    // each seek with the next frame to check that decoding goes on from the right place. Then a
    // few forward jumps from frame 0.
    std::vector<int> requests;
    std::vector<int> order = chosen;
    std::sort(order.begin(), order.end(), std::greater<>());
    for (int p : order) {
        requests.push_back(p);
        if (p + 1 < range)
            requests.push_back(p + 1);
    }
    for (std::size_t i = 0; i < bounds.size() && i < 3; ++i) {
        requests.push_back(0);
        requests.push_back(std::min(range - 1, bounds[i] + 1));
    }

    // Bounded in time too: a damaged file may make single requests very slow.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kSeekCheckMillis);
    int normalPosition = -1;
    for (std::size_t r = 0; r < requests.size(); ++r) {
        if (std::chrono::steady_clock::now() > deadline) {
            v.unfinished = true;
            break;
        }
        const int p = requests[r];
        progress.step(long(range) + long(r) * range / long(requests.size()), 2L * range);
        DecodeErrors errors;
        FfmsError err;
        const FFMS_Frame* f = FFMS_GetFrame(normal.get(), p, &err.info);
        // Errors on a picture the linear decode got cleanly: this way of reaching it goes wrong.
        const bool clean = f && (errors.count() == 0 || (verdicts && verdicts->sound(p)));
        normalPosition = clean ? p : -1;
        if (!comparable(p) && clean)
            continue;
        ++v.checks;
        if (!clean || pictureHash(f) != ref[std::size_t(p)]) {
            ++v.mismatches;
            if (v.firstMismatch < 0)
                v.firstMismatch = p;
        }
        if (!clean)
            normal = openFfmsVideo(index, FFMS_SEEK_NORMAL); // where it stands is unknown now
    }

    // FFMS2 lands wrong: the same requests by the pictures' own time stamps.
    int stampChecks = 0;
    int stampMismatches = 0;
    if (!v.unfinished && v.mismatches > 0 && PtsDecoder::suits(index.container(), index.pts())) {
        try {
            PtsDecoder byStamps(index.path(), index.videoTrack(), std::make_shared<const std::vector<int64_t>>(index.pts()),
                                DecodeModel(coded, keyframes, false));
            for (int p : requests) {
                if (std::chrono::steady_clock::now() > deadline) {
                    v.unfinished = true;
                    break;
                }
                progress.step(2L * range - 1, 2L * range);
                bool clean = true;
                try {
                    byStamps.decode(p);
                } catch (const VideoDeviceError&) {
                    clean = false;
                }
                if (clean && !comparable(p))
                    continue;
                ++stampChecks;
                if (!clean || byStamps.decodedHash() != ref[std::size_t(p)])
                    ++stampMismatches;
            }
        } catch (const VideoDeviceError&) {
            ++stampMismatches; // cannot even be opened so
        }
        v.byTimeStamps = !v.unfinished && stampMismatches == 0 && stampChecks >= 3;
    }

    if (v.unfinished) {
        v.linear = true;
        v.byTimeStamps = false;
        v.reason = QStringLiteral("the check did not finish within %1 s").arg(kSeekCheckMillis / 1000);
    } else if (v.mismatches > 0 && v.byTimeStamps) {
        v.linear = false;
        v.reason = QStringLiteral("seeking by time stamps verified on %1 pictures (FFMS2's seeking returned %2 wrong "
                                  "of %3, first at %4)")
                       .arg(stampChecks)
                       .arg(v.mismatches)
                       .arg(v.checks)
                       .arg(v.firstMismatch);
    } else if (v.mismatches > 0) {
        v.linear = true;
        v.reason = QStringLiteral("seeking returned %1 wrong of %2 checked pictures (first at %3)")
                       .arg(v.mismatches)
                       .arg(v.checks)
                       .arg(v.firstMismatch);
        if (stampChecks > 0)
            v.reason += QStringLiteral("; by time stamps %1 wrong of %2").arg(stampMismatches).arg(stampChecks);
    } else if (v.checks < 3 && coded > range) {
        // Too little to compare (a still picture?) while frames lie beyond the reference.
        v.linear = true;
        v.reason = QStringLiteral("seeking could not be checked (%1 comparable pictures)").arg(v.checks);
    } else {
        v.linear = false;
        v.reason = QStringLiteral("seeking verified on %1 pictures").arg(v.checks);
    }
    if (v.linear) {
        result.decoder = std::move(linear);
        result.position = result.decoder ? range - 1 : -1;
    } else if (v.byTimeStamps) {
        result.decoder.reset(); // the source makes PtsDecoders
        result.position = -1;
    } else {
        result.decoder = std::move(normal);
        result.position = normalPosition;
    }
    return result;
}

} // namespace kadro
