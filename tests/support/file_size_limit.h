#pragma once
// Makes this process's file writes fail part-way, as a full disk does, for as long as it lives.
// POSIX only: Windows has no file-size limit per process (its builds cover a failed save with a
// file held by another program).
#ifndef _WIN32
#include "platform/text_file.h"

#include <csignal>
#include <optional>
#include <sys/resource.h>

class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) : m_oldHandler(std::signal(SIGXFSZ, SIG_IGN)) {
        ::getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit tight = m_saved;
        tight.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &tight);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_saved{};
    void (*m_oldHandler)(int);
};

// True when the save, run under the limit, fails with the runtime's I/O error.
template <typename Save> bool failsOnAFullDisk(rlim_t bytes, Save save) {
    const FileSizeLimit limit(bytes);
    try {
        save();
    } catch (const platform::IoError&) {
        return true;
    }
    return false;
}
#endif
