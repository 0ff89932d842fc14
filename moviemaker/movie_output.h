// Where a movie's frames go: an H.264 movie encoded in chunks by the ffmpeg program, or, when
// asked for, numbered PNG files in a new folder. Every output is made in a hidden work folder
// of its own and put into place only when complete; a cancelled or failed one leaves nothing.
#pragma once

#include "moviemaker/movie_settings.h"

#include <memory>
#include <string>

class movieSink {
  public:
    virtual ~movieSink() = default;
    // width * height * 3 bytes of RGB, rows bottom-up as GL reads them.
    virtual bool writeFrame(const unsigned char* rgb) = 0;
    // Completes the output and puts it in place; false when that failed.
    virtual bool finish() = 0;
    // Removes everything partial and keeps the previous output.
    virtual void cancel() = 0;
    // Why the last call failed, in a few words and any lines the encoder wrote.
    virtual std::string failure() const { return ""; }
};

// The output the settings ask for, its first frame being the show's frame `firstFrame`. Null,
// with `error` set, when it cannot be started (no ffmpeg for a movie, a folder that cannot be
// made, a frames folder that already holds files).
std::unique_ptr<movieSink> openMovieSink(const movieSettings& settings, int firstFrame,
                                         std::string& error);
std::unique_ptr<movieSink> openEncoderSink(const movieSettings& settings, int firstFrame,
                                           std::string& error);
std::unique_ptr<movieSink> openPngFramesSink(const movieSettings& settings, std::string& error);

// Whether movies can be encoded (the ffmpeg program is installed).
bool movieEncoderAvailable();
// The one line said when a movie is asked for without ffmpeg.
std::string encoderMissingMessage();

// Copies the video of the chunk files (in order) into settings.output, the soundtrack of the
// frames firstFrame..lastFrame laid once over the whole; done in `workFolder`, the output
// replaced only when complete. ffmpeg's messages go to `log`; a failure that is not ffmpeg's
// (the work folder, putting the file in place) is said in `problem`.
bool joinChunks(const std::vector<std::string>& chunks, const movieSettings& settings,
                int firstFrame, int lastFrame, const std::string& workFolder,
                const std::string& log, std::string& problem);
// The chunk files of a folder, in order.
std::vector<std::string> chunkFilesIn(const std::string& folder);

// Joins movies of consecutive ranges of the show (made by lumenfold-movie --from/--to) into
// settings.output, the video copied as it is and the soundtrack laid once over the whole.
bool joinMovies(const movieSettings& settings, std::string& error);
