#include "test_support.h"

#include "base/app_paths.h"

#include <QFile>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

namespace zambrel::testkit {

ScriptedResponder::ScriptedResponder(base::MessageAnswer fallback) : m_fallback(fallback)
{
    m_previous = base::setMessageResponder([this](const base::MessageRequest &request) {
        m_shown.push_back(request);
        if (m_answers.empty())
            return m_fallback;
        const base::MessageAnswer reply = m_answers.front();
        m_answers.pop_front();
        return reply;
    });
}

ScriptedResponder::~ScriptedResponder()
{
    base::setMessageResponder(m_previous);
}

TempProgramFolder::TempProgramFolder()
{
    base::setProgramFolder(m_dir.path());
    base::setSettingsFile(m_dir.filePath(QStringLiteral("settings.ini")));
}

TempProgramFolder::~TempProgramFolder()
{
    base::setCurrentSkinPath({});
    base::setProgramFolder({});
    base::setSettingsFile({});
}

SmallDisk::SmallDisk(const char *size)
{
    const QByteArray options = QByteArray("size=") + size + ",mode=0700";
    if (::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs", 0, options.constData()) == 0)
        m_mounted = true;
    else
        m_why = QStringLiteral("cannot mount a tmpfs of its own (root only): ") +
                QString::fromLocal8Bit(std::strerror(errno));
}

SmallDisk::~SmallDisk()
{
    if (m_mounted)
        ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
}

void SmallDisk::fill()
{
    const int fd = ::open(QFile::encodeName(file(QStringLiteral("filler"))).constData(),
                          O_WRONLY | O_CREAT | O_APPEND, 0600);
    ASSERT_GE(fd, 0);
    const QByteArray block(4096, 'f');
    while (::write(fd, block.constData(), size_t(block.size())) > 0) {
    }
    while (::write(fd, "f", 1) > 0) {
    }
    ::close(fd);
}

void SmallDisk::makeRoom()
{
    QFile::remove(file(QStringLiteral("filler")));
}

bool SmallDisk::makeReadOnly()
{
    return ::mount(nullptr, QFile::encodeName(m_dir.path()).constData(), nullptr, MS_REMOUNT | MS_RDONLY,
                   nullptr) == 0;
}

} // namespace zambrel::testkit
