#pragma once
// The video device: the operations the player relies on to open a video, move between its frames
// and play it. All positions, lengths and end points are 0-based frame numbers.

#include <QImage>
#include <QObject>
#include <QRect>
#include <QString>

#include <stdexcept>

namespace kadro {

// Raised by open() when the file is missing or cannot be decoded; what() is the decoder's text.
class VideoDeviceError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Raised by open() when the user cancelled the preparation of the file ("Abbrechen" in the progress
// dialog). The device is then closed, as after a failed open; there is nothing to report.
class VideoOpenCancelled : public VideoDeviceError {
public:
    VideoOpenCancelled() : VideoDeviceError("opening the video was cancelled") {}
};

// How time runs in the loaded video, as the file says it.
struct VideoTiming {
    // Frames per second the container states (0 when it states none).
    double frameRate = 0;
    // The durations of the frames differ by more than 1 %: each frame's time is its own.
    bool variableRate = false;
    // The frame rate of the recording where the file's metadata names one that differs from the
    // rate it plays at (a slow-motion recording of a phone); 0 when it names none.
    double captureRate = 0;
};

class VideoDevice : public QObject {
    Q_OBJECT
public:
    explicit VideoDevice(QObject* parent = nullptr);
    ~VideoDevice() override;

    // Path of the media file; empty means no video is loaded.
    virtual QString fileName() const = 0;
    virtual void setFileName(const QString& path) = 0;

    // Closes any previous file and opens fileName(); shows frame 0 on the display.
    // Throws VideoDeviceError on a missing or undecodable file (the device is then closed).
    virtual void open() = 0;
    // Releases the file; the display turns empty. Harmless when nothing is open.
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // Positions are frame numbers (the only time format the device has).
    virtual void setTimeFormatFrames() = 0;
    // Step size of step() and back().
    virtual void setFrames(int frames) = 0;

    // Last valid position (frame count - 1); 0 when nothing is open.
    virtual int length() const = 0;
    // The frame being shown.
    virtual int position() const = 0;
    // Shows frame `frame` (clamped to 0..length()). Stops a running play. Returns when it is shown,
    // or, when its picture takes longer than a moment, with position() the frame at once and the
    // picture following (pictureArrived).
    virtual void seek(int frame) = 0;

    // End point of the next play() only.
    virtual void setEndPos(int frame) = 0;
    // The end point the next play() will use, or -1 if none was set since the last play().
    virtual int endPos() const = 0;

    // Returns at once; plays from position() to the end point set since the last play(), or to
    // the end of the file, and stops there by itself showing exactly that frame.
    virtual void play() = 0;
    // Playing -> paused; paused -> playing again; otherwise nothing.
    virtual void pause() = 0;
    // Stops; the position stays.
    virtual void stop() = 0;
    // One step (setFrames) forward / back, as seek; never change the end point.
    virtual void step() = 0;
    virtual void back() = 0;

    // Natural picture size at (0, 0); non-square pixels are applied to the width.
    virtual QRect displayRect() const = 0;
    // True while playing (false when stopped or paused).
    virtual bool isPlaying() const = 0;
    virtual bool isPaused() const = 0;

    // The loaded video's timing (all zero when nothing is open or the device cannot tell).
    virtual VideoTiming timing() const { return {}; }
    // Seconds from frame 0 to the start of `frame`, as the video's own time stamps say; a
    // negative value when the device cannot tell.
    virtual double frameSeconds(int frame) const
    {
        Q_UNUSED(frame);
        return -1;
    }

    // Waits until the picture of the last seek, step or back is shown or its request ended; false
    // on timeout. For tests and measurements; the program never waits so.
    virtual bool waitForPicture(int timeoutMs = 120000)
    {
        Q_UNUSED(timeoutMs);
        return true;
    }

    // The picture of the frame being shown, as decoded (null while nothing is shown).
    QImage picture() const { return picture_; }

    // The frame `frame` at the video's full resolution (its coded pixels, not scaled for display,
    // non-square pixels not widened) as 8-bit grey (QImage::Format_Grayscale8), for measuring on
    // the video's own pixels. Waits at most `waitMs` for it and never changes what is shown; a null
    // image when it is not at hand by then (ask again for the same frame later: it is decoded
    // meanwhile) or cannot be had. A device without frames of its own gives the picture shown, in
    // grey, when `frame` is the position.
    virtual QImage fullFrame(int frame, int waitMs)
    {
        Q_UNUSED(waitMs);
        if (frame != position() || picture_.isNull())
            return {};
        return picture_.convertToFormat(QImage::Format_Grayscale8);
    }
    // The size of fullFrame's pictures (empty when nothing is shown).
    virtual QSize fullFrameSize() const { return picture_.size(); }
    // The same frame in colour, as decoded (for the magnifier and the full-screen view).
    virtual QImage fullColourFrame(int frame, int waitMs)
    {
        Q_UNUSED(waitMs);
        if (frame != position())
            return {};
        return picture_;
    }


signals:
    // The picture to show changed (a null image: nothing is shown). Comes before frameShown.
    void pictureChanged(const QImage& picture);
    // A frame was shown (by a seek, step, back, open, or during play).
    void frameShown(int frame);
    // The picture of a seek, step or back came after the call had returned (the decoder took
    // longer than the call waits), or the request ended without one; `frame` is shown now and is
    // the position. Comes after pictureChanged and frameShown.
    void pictureArrived(int frame);
    // Play reached its end point by itself and stopped there.
    void playFinished();
    // A frame could not be decoded while seeking, stepping or playing (the file may be damaged);
    // `what` is the decoder's text. Emitted once per opened file, at the first such frame.
    void decodingFailed(const QString& what);

protected:
    // Keeps the picture and tells the display (pictureChanged).
    void showPicture(const QImage& picture);

private:
    QImage picture_;
};

} // namespace kadro
