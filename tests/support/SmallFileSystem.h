#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cerrno>
#include <cstring>
#include <string>

#include <sys/mount.h>
#include <unistd.h>

// A really small file system (a tmpfs of a few KiB), to fill as a disk
// fills: mounting needs root, as CI runs; elsewhere skipReason() says why
// the test cannot run, and the test skips with it.
class SmallFileSystem
{
public:
    explicit SmallFileSystem(int kib = 64)
    {
        if (geteuid() != 0) {
            m_skip = "mounting a small tmpfs needs root (CI runs as root)";
            return;
        }
        const QByteArray options = "size=" + QByteArray::number(kib) + "k";
        if (::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs", 0, options.constData()) != 0) {
            m_skip = std::string("cannot mount a tmpfs here: ") + std::strerror(errno);
            return;
        }
        m_mounted = true;
    }
    ~SmallFileSystem()
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
    }
    SmallFileSystem(const SmallFileSystem &) = delete;
    SmallFileSystem &operator=(const SmallFileSystem &) = delete;

    // Empty when the file system is there.
    const std::string &skipReason() const { return m_skip; }
    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

    // Fills what is left with one file, so the next write finds no room.
    void fill() const
    {
        QFile f(filePath(QStringLiteral("filler")));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return;
        const QByteArray block(4096, 'x');
        while (f.write(block) == block.size()) {
        }
    }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
    std::string m_skip;
};
