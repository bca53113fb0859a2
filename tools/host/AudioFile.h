// Sound files through libsndfile: any file it reads in, and a file written out as an
// OutputFile, so that a failure loses nothing.
#pragma once

#include <sndfile.h>

#include <memory>
#include <string>

#include "tools/host/OutputFile.h"

// What --format asks for: the input's own sample format, or one of these.
enum class SampleFormat { AsInput, Float, Pcm24, Pcm16 };

class AudioReader {
public:
    // Throws ToolError naming path: missing, unreadable, not audio, more than two channels.
    // "-" is standard input.
    explicit AudioReader(const std::string& path);
    ~AudioReader();
    AudioReader(const AudioReader&) = delete;
    AudioReader& operator=(const AudioReader&) = delete;

    int channels() const { return info.channels; }
    int sampleRate() const { return info.samplerate; }
    sf_count_t frames() const { return info.frames; }
    int format() const { return info.format; }
    // Reads up to count frames, interleaved; answers how many it read.
    sf_count_t read(float* interleaved, sf_count_t count);
    // Passes over up to count frames (seeking where the file allows); answers how many.
    sf_count_t skip(sf_count_t count);

private:
    std::string path;
    SF_INFO info{};
    SNDFILE* file = nullptr;
};

class AudioWriter {
public:
    // The container follows the output's extension where it names one, the input's
    // otherwise; the sample format is the input's unless one is asked for.
    AudioWriter(const std::string& path, int inputFormat, SampleFormat sampleFormat, int channels, int sampleRate);
    ~AudioWriter();
    AudioWriter(const AudioWriter&) = delete;
    AudioWriter& operator=(const AudioWriter&) = delete;

    // Throws ToolError for a sample that is not a finite number where the file holds integers.
    void write(const float* interleaved, sf_count_t count);
    // Closes the file and puts it in place.
    void commit();
    bool integerSamples() const;
    int format() const { return info.format; }
    int channels() const { return info.channels; }

private:
    SF_INFO info{};  // first, so that a kind of file that cannot be written is refused before anything opens
    OutputFile output;
    SNDFILE* file = nullptr;
    sf_count_t framesWritten = 0;
};

// A short description of a libsndfile format ("WAV, 24-bit").
std::string formatText(int format);
