#pragma once

#include <QtGlobal>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

// Drops root's power to write anywhere, so permission bits count as they do
// for a user; restores it when it goes out of scope.
class UnprivilegedScope
{
public:
    UnprivilegedScope() : m_wasRoot(geteuid() == 0)
    {
        if (m_wasRoot && seteuid(65534) != 0)
            qFatal("cannot drop privileges");
    }
    ~UnprivilegedScope()
    {
        if (m_wasRoot && seteuid(0) != 0)
            qFatal("cannot restore privileges");
    }

private:
    bool m_wasRoot;
};

// Makes every write past `bytes` fail, as a full disk does part way through
// a file; lifts the limit when it goes out of scope.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_previous);
        const rlimit limit{bytes, m_previous.rlim_max};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
            qFatal("cannot limit the file size");
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_previous); }

private:
    rlimit m_previous{};
};
