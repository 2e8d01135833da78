#include "recordings/WavRecording.h"

#include "fileio/File.h"
#include "parallel/Parallel.h"
#include "recordings/RecorderChunks.h"
#include "recordings/RecorderPosition.h"
#include "recordings/RecorderZone.h"
#include "recordings/StartTimeTexts.h"
#include "recordings/WavChunks.h"
#include "text/Blank.h"
#include "text/IsoTime.h"
#include "text/NumberText.h"
#include "text/SpeciesList.h"
#include "text/TimeText.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cctype>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <mutex>

namespace pelorin {

namespace {

// Metadata chunks are small; anything larger is not metadata we can trust.
constexpr std::uint64_t kMaxMetadataChunk = 1 << 20;

struct Metadata {
    std::optional<std::string> guano;
    std::optional<std::string> bext;
    std::optional<WamdFields> wamd;
    std::optional<std::string> comment; // LIST/ICMT, else id3's COMM
    std::optional<double> audioSeconds; // the data chunk's size over fmt's byte rate
};

// Chunks some recorders add and others never: one that is too large or cut
// short is passed over, not a reason to refuse the file.
bool isOptionalSource(const std::string &id) {
    return id == "wamd" || id == "LIST" || id == "id3 ";
}

struct Walk {
    Metadata metadata;
    std::string error;
};

// Reads the metadata chunks the walk found.
Walk walkChunks(std::uint64_t fileSize, const ReadAt &readAt) {
    Walk walk;
    const WavChunks chunks = walkWavChunks(fileSize, readAt);
    if (!chunks.error.empty()) {
        walk.error = chunks.error;
        return walk;
    }
    std::optional<std::string> id3;
    std::optional<std::uint32_t> byteRate;
    std::optional<std::uint64_t> dataSize;
    for (const WavChunk &chunk : chunks.chunks) {
        // The audio's length from two headers, never the audio itself.
        if (chunk.id == "fmt " && !chunk.truncated && chunk.size >= 16 && !byteRate) {
            std::string fmt;
            if (readAt(chunk.body(), 16, fmt))
                byteRate = readLe32(fmt.data() + 8);
        } else if (chunk.id == "data" && !chunk.truncated && !dataSize) {
            dataSize = chunk.size;
        }
        if (chunk.id != "guan" && chunk.id != "bext" && !isOptionalSource(chunk.id))
            continue;
        if (isOptionalSource(chunk.id) && (chunk.truncated || chunk.size > kMaxMetadataChunk))
            continue;
        if (chunk.truncated) {
            walk.error = "the " + chunk.id + " chunk is cut short";
            return walk;
        }
        if (chunk.size > kMaxMetadataChunk) {
            walk.error = "the " + chunk.id + " chunk is implausibly large";
            return walk;
        }
        std::string content;
        if (!readAt(chunk.body(), static_cast<std::size_t>(chunk.size), content)) {
            walk.error = "the " + chunk.id + " chunk cannot be read";
            return walk;
        }
        Metadata &metadata = walk.metadata;
        if (chunk.id == "wamd")
            metadata.wamd = readWamd(content);
        else if (chunk.id == "LIST") {
            if (!metadata.comment)
                metadata.comment = listInfoComment(content);
        } else if (chunk.id == "id3 ") {
            if (!id3)
                id3 = id3Comment(content);
        } else
            (chunk.id == "guan" ? metadata.guano : metadata.bext) = std::move(content);
    }
    if (!walk.metadata.comment)
        walk.metadata.comment = std::move(id3); // the LIST one wins
    if (byteRate && *byteRate > 0 && dataSize)
        walk.metadata.audioSeconds = static_cast<double>(*dataSize) / *byteRate;
    return walk;
}

struct Guano {
    std::optional<std::string> timestamp;
    std::optional<std::string> manualId;
    std::optional<std::string> autoId;
    std::optional<std::string> position;
    std::optional<std::string> length; // seconds
};

Guano parseGuano(std::string_view text) {
    Guano guano;
    while (!text.empty()) {
        const auto eol = text.find('\n');
        const std::string_view line = text.substr(0, eol);
        text = eol == std::string_view::npos ? std::string_view() : text.substr(eol + 1);
        const auto colon = line.find(':');
        if (colon == std::string_view::npos)
            continue;
        const auto key = trimmed(line.substr(0, colon));
        const auto value = std::string(trimmed(line.substr(colon + 1)));
        if (key == "Timestamp")
            guano.timestamp = value;
        else if (key == "Species Manual ID")
            guano.manualId = value;
        else if (key == "Species Auto ID")
            guano.autoId = value;
        else if (key == "Loc Position")
            guano.position = value;
        else if (key == "Length")
            guano.length = value;
    }
    return guano;
}

// A start time, the text it was read from, and how a zone-less one was read.
struct FoundTime {
    RecordingTime time;
    std::string text;
    std::string note; // see RecorderZone::Reading
};

// Recorders in the field write "2019-04-30 21:02:44+0100" as often as the ISO form.
std::optional<FoundTime> guanoTime(std::string_view timestamp, RecorderZoneChoice &zone) {
    const std::string_view given = trimmed(timestamp);
    std::string text(given);
    if (text.size() > 10 && text[10] == ' ')
        text[10] = 'T';
    if (auto reading = zone.readIso(text))
        return FoundTime{reading->time, std::string(given), std::move(reading->note)};
    return std::nullopt;
}

bool allDigits(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// bext OriginationDate "yyyy-mm-dd" (any separator) at 320, OriginationTime "hh:mm:ss" at 330.
std::optional<FoundTime> bextTime(std::string_view bext, RecorderZoneChoice &zone) {
    if (bext.size() < 338)
        return std::nullopt;
    const auto date = bext.substr(320, 10);
    const auto time = bext.substr(330, 8);
    if (!allDigits(date.substr(0, 4)) || !allDigits(date.substr(5, 2)) || !allDigits(date.substr(8, 2)) ||
        !allDigits(time.substr(0, 2)) || !allDigits(time.substr(3, 2)) || !allDigits(time.substr(6, 2)))
        return std::nullopt;
    const std::string iso = std::string(date.substr(0, 4)) + '-' + std::string(date.substr(5, 2)) + '-' +
                            std::string(date.substr(8, 2)) + 'T' + std::string(time.substr(0, 2)) + ':' +
                            std::string(time.substr(3, 2)) + ':' + std::string(time.substr(6, 2));
    if (auto start = zone.readIso(iso))
        return FoundTime{start->time, std::string(date) + ' ' + std::string(time), std::move(start->note)};
    return std::nullopt;
}

// A file name's YYYYMMDD_HHMMSS, in the recorder's zone; else AudioMoth's hex Unix time.
std::optional<FoundTime> fileNameTime(std::string_view name, RecorderZoneChoice &zone) {
    if (const std::optional<NameClock> clock = fileNameClock(name)) {
        RecorderZone::Reading reading = zone.read(clock->clock);
        return FoundTime{reading.time, clock->text, std::move(reading.note)};
    }
    if (const std::optional<RecordingTime> time = hexNameTime(name))
        return FoundTime{*time, std::string(name.substr(0, 8)), {}};
    return std::nullopt;
}

// AudioMoth names its files in the zone of its comment; they should agree.
std::string nameDisagreement(std::string_view fileName, const ZonedStart &comment) {
    std::optional<RecordingTime> named;
    std::string text;
    if (const std::optional<NameClock> clock = fileNameClock(fileName)) {
        named = RecordingTime(clock->clock.time_since_epoch() - comment.offset);
        text = clock->text;
    } else if ((named = hexNameTime(fileName))) {
        text = std::string(fileName.substr(0, 8));
    }
    if (!named || *named == comment.time)
        return {};
    return "the file name's time " + text + " and the AudioMoth comment's " + comment.text +
           " disagree; the comment's is taken";
}

WavResult buildRecording(const Walk &walk, std::string_view fileName,
                         std::optional<RecordingTime> modificationTime, RecorderZoneChoice &zone) {
    WavResult result;
    if (!walk.error.empty()) {
        result.error = walk.error;
        return result;
    }
    WavRecording wav;
    wav.recording.filename = std::string(fileName);
    std::optional<FoundTime> start;
    std::string unreadableTimestamp;
    Recording &recording = wav.recording;
    if (walk.metadata.guano) {
        const Guano guano = parseGuano(*walk.metadata.guano);
        if (guano.timestamp && !(start = guanoTime(*guano.timestamp, zone)))
            unreadableTimestamp = *guano.timestamp;
        if (start)
            recording.timeSource = StartTimeSource::Guano;
        if (guano.manualId && !trimmed(*guano.manualId).empty())
            recording.species = splitSpeciesList(*guano.manualId, ",");
        else if (guano.autoId)
            recording.species = splitSpeciesList(*guano.autoId, ",");
        wav.position = guano.position;
        if (guano.length)
            recording.durationSeconds = readLengthSeconds(*guano.length);
    }
    if (!recording.durationSeconds)
        recording.durationSeconds = walk.metadata.audioSeconds;
    if (const std::optional<WamdFields> &wamd = walk.metadata.wamd) {
        if (!start && wamd->startTime && (start = guanoTime(*wamd->startTime, zone)))
            recording.timeSource = StartTimeSource::Wamd;
        if (recording.species.empty() && wamd->manualId && !trimmed(*wamd->manualId).empty())
            recording.species = splitSpeciesList(*wamd->manualId, ",");
        else if (recording.species.empty() && wamd->autoId)
            recording.species = splitSpeciesList(*wamd->autoId, ",");
    }
    // GUANO's position before wamd's: one Echo Meter Touch file's wamd lost the longitude's sign.
    if (wav.position)
        recording.recorderPosition = guanoPosition(*wav.position);
    if (const std::optional<WamdFields> &wamd = walk.metadata.wamd; wamd && !recording.recorderPosition) {
        for (const std::optional<std::string> *text : {&wamd->lastPosition, &wamd->firstFix})
            if (*text && !recording.recorderPosition)
                recording.recorderPosition = wamdPosition(**text);
    }
    if (!start && walk.metadata.comment) {
        if (std::optional<ZonedStart> comment = audioMothCommentTime(*walk.metadata.comment)) {
            wav.warning = nameDisagreement(fileName, *comment);
            start = FoundTime{comment->time, std::move(comment->text), wav.warning};
            recording.timeSource = StartTimeSource::AudioMothComment;
        }
    }
    if (!start && walk.metadata.bext && (start = bextTime(*walk.metadata.bext, zone)))
        recording.timeSource = StartTimeSource::Bext;
    if (!start && (start = fileNameTime(fileName, zone)))
        recording.timeSource = StartTimeSource::FileName;
    if (!start && modificationTime) {
        start = FoundTime{*modificationTime, localIsoText(*modificationTime), {}};
        recording.timeSource = StartTimeSource::ModificationTime;
    }
    if (!start) {
        result.error =
            "no start time: no GUANO Timestamp, wamd start time, AudioMoth comment, bext date, time "
            "in the name or modification time";
        return result;
    }
    std::string &note = recording.timeNote;
    if (!unreadableTimestamp.empty())
        note = "the GUANO Timestamp \"" + unreadableTimestamp +
               "\" could not be read; the start time is from the " +
               std::string(startTimeSourceName(recording.timeSource));
    if (!start->note.empty())
        note += (note.empty() ? "" : "; ") + start->note;
    recording.recordingTime = start->time;
    recording.timeAsGiven = std::move(start->text);
    result.value = std::move(wav);
    return result;
}

} // namespace

WavResult parseWavMetadata(std::string_view bytes, std::string_view fileName,
                           std::optional<RecordingTime> modificationTime, const RecorderZone *recorderZone) {
    RecorderZoneChoice zone(recorderZone);
    const ReadAt readAt = [bytes](std::uint64_t offset, std::size_t size, std::string &out) {
        if (offset > bytes.size() || size > bytes.size() - offset)
            return false;
        out.assign(bytes.substr(static_cast<std::size_t>(offset), size));
        return true;
    };
    return buildRecording(walkChunks(bytes.size(), readAt), fileName, modificationTime, zone);
}

namespace {

WavResult readWavFile(const std::string &path, RecorderZoneChoice &zone) {
    WavResult result;
    const ReadOnlyFile opened = openReadOnly(path);
    if (!opened) {
        result.error = opened.problem == ReadOnlyFile::Problem::CannotOpen ? opened.error.message()
                                                                           : "not a regular file";
        return result;
    }
    const std::uint64_t size = opened.status.size;
    const ReadAt readAt = readAheadFile(opened.file, size);
    const auto mtime = std::chrono::floor<std::chrono::milliseconds>(
        std::chrono::sys_time<std::chrono::nanoseconds>(std::chrono::nanoseconds(opened.status.modifiedNs)));
    const auto name = std::filesystem::path(path).filename().string();
    return buildRecording(walkChunks(size, readAt), name, mtime, zone);
}

} // namespace

WavResult readWavRecording(const std::string &path, const RecorderZone *recorderZone) {
    RecorderZoneChoice zone(recorderZone);
    return readWavFile(path, zone);
}

bool readWavRecordings(const std::vector<std::string> &paths, const WavResultSink &take,
                       const RecorderZone *recorderZone,
                       const std::function<bool(std::size_t done)> &progress, unsigned threads) {
    using namespace std::chrono_literals;
    std::atomic<std::size_t> next{0};
    std::atomic<std::size_t> done{0};
    std::mutex mutex;
    std::condition_variable finished;
    std::size_t running = 0;
    const auto work = [&](std::stop_token stop) {
        RecorderZoneChoice zone(recorderZone); // one each: it caches the machine's zone unguarded
        while (!stop.stop_requested()) {
            const std::size_t i = next++;
            if (i >= paths.size())
                break;
            take(i, readWavFile(paths[i], zone));
            ++done;
        }
        const std::lock_guard lock(mutex);
        --running;
        finished.notify_all();
    };

    if (threads == 0)
        threads = coresToUse();
    threads = static_cast<unsigned>(std::min<std::size_t>(threads, paths.size()));
    running = threads; // before any starts; those that cannot start are taken off below
    WorkerThreads workers(threads, work);
    {
        const std::lock_guard lock(mutex);
        running -= threads - workers.size();
        if (workers.size() == 0)
            ++running;
    }
    if (workers.size() == 0)
        work(std::stop_token()); // no thread to spare: this one does it all

    std::unique_lock lock(mutex);
    while (!finished.wait_for(lock, 10ms, [&] { return running == 0; })) {
        lock.unlock();
        const bool goOn = !progress || progress(done);
        lock.lock();
        if (!goOn) {
            lock.unlock();
            workers.requestStop();
            workers.join();
            return false;
        }
    }
    lock.unlock();
    workers.join();
    return !progress || progress(paths.size());
}

WavFolderResult readWavFolder(const std::string &folder, const RecorderZone *recorderZone) {
    namespace fs = std::filesystem;
    WavFolderResult result;
    std::vector<fs::path> paths;
    std::error_code ec;
    fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec);
    if (ec) {
        result.skipped.emplace_back(folder, ec.message());
        return result;
    }
    for (const fs::recursive_directory_iterator end; it != end; it.increment(ec)) {
        if (ec) {
            result.skipped.emplace_back(folder, ec.message());
            break;
        }
        std::string ext = it->path().extension().string();
        std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
        if (ext == ".wav" && it->is_regular_file(ec))
            paths.push_back(it->path());
    }
    std::sort(paths.begin(), paths.end());
    std::vector<std::string> names(paths.begin(), paths.end());
    std::vector<WavResult> read(names.size());
    readWavRecordings(
        names, [&read](std::size_t i, WavResult &&one) { read[i] = std::move(one); }, recorderZone);
    for (std::size_t i = 0; i < names.size(); ++i) {
        WavResult &one = read[i];
        if (one.value) {
            one.value->path = names[i];
            result.recordings.push_back(std::move(*one.value));
        } else
            result.skipped.emplace_back(names[i], std::move(one.error));
    }
    return result;
}

} // namespace pelorin
