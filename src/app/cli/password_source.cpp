#include "password_source.h"

#include "base/scope_guard.h"
#include "store/db_error.h"
#include "store/ledger_schema.h"

#include <QFile>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <iterator>
#include <string>
#include <termios.h>
#include <unistd.h>

namespace zambrel::cli {
namespace {

QString firstLine(const QByteArray &bytes)
{
    QString text = QString::fromUtf8(bytes);
    // A file written by an editor ends in a line break that is no part of
    // the password; blanks are.
    const qsizetype end = text.indexOf(u'\n');
    if (end >= 0)
        text.truncate(end);
    if (text.endsWith(u'\r'))
        text.chop(1);
    return text;
}

/// A password file is read no further than its first line, and that line
/// must end within this many bytes: /dev/zero or an endless pipe given by
/// mistake ends in a message, not in an exhausted memory.
constexpr qsizetype kPasswordFileLimit = 64 * 1024;

} // namespace

QString passwordFromFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        throw store::DbError(store::ErrorKind::Other,
                             QStringLiteral("无法读取密码文件 Cannot read the password file: ") + path);
    QByteArray bytes;
    char chunk[4096];
    const auto forget = base::ScopeGuard([&] {
        bytes.fill('\0');
        std::fill(std::begin(chunk), std::end(chunk), '\0');
    });
    for (;;) {
        const qsizetype lineEnd = bytes.indexOf('\n');
        if ((lineEnd >= 0 ? lineEnd : bytes.size()) > kPasswordFileLimit)
            throw store::DbError(store::ErrorKind::Other,
                                 QStringLiteral("密码文件太长 The password file's first line is longer than "
                                                "64 KiB: ") +
                                     path);
        if (lineEnd >= 0)
            break;
        const qint64 read = file.read(chunk, sizeof chunk);
        if (read < 0)
            throw store::DbError(store::ErrorKind::Other,
                                 QStringLiteral("无法读取密码文件 Cannot read the password file: ") + path);
        if (read == 0)
            break;
        bytes.append(chunk, read);
    }
    return firstLine(bytes);
}

namespace {

// The terminal as it was before the question, for a signal that ends the
// program while echo is off.
termios terminalBeforeQuestion{};

void restoreTerminalAndEnd(int signal)
{
    ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &terminalBeforeQuestion);
    struct sigaction usual {};
    usual.sa_handler = SIG_DFL;
    ::sigaction(signal, &usual, nullptr);
    ::raise(signal);
}

constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGQUIT, SIGHUP};

QString askOnTerminal()
{
    // Echo goes off before the question shows, so that nothing typed in
    // answer to it is ever echoed.
    termios saved{};
    const bool quiet = ::tcgetattr(STDIN_FILENO, &saved) == 0;
    struct sigaction before[std::size(kEndingSignals)]{};
    if (quiet) {
        // Ctrl+C at the question must not leave the shell without echo.
        terminalBeforeQuestion = saved;
        struct sigaction restoring {};
        restoring.sa_handler = restoreTerminalAndEnd;
        sigemptyset(&restoring.sa_mask);
        for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
            ::sigaction(kEndingSignals[i], nullptr, &before[i]);
            if (before[i].sa_handler != SIG_IGN)
                ::sigaction(kEndingSignals[i], &restoring, nullptr);
        }
        termios silent = saved;
        silent.c_lflag &= ~tcflag_t(ECHO);
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &silent);
    }
    std::fputs("密码 Password: ", stderr);
    std::fflush(stderr);
    const auto restore = base::ScopeGuard([&] {
        if (quiet) {
            ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
            for (std::size_t i = 0; i < std::size(kEndingSignals); ++i)
                ::sigaction(kEndingSignals[i], &before[i], nullptr);
        }
        std::fputs("\n", stderr);
    });
    std::string line;
    for (int c = std::fgetc(stdin); c != EOF && c != '\n'; c = std::fgetc(stdin))
        line.push_back(char(c));
    QString password = firstLine(QByteArray::fromStdString(line));
    std::fill(line.begin(), line.end(), '\0');
    return password;
}

} // namespace

QString passwordFor(const QString &ledgerPath, const PasswordSource &source)
{
    if (!source.passwordFile.isEmpty())
        return passwordFromFile(source.passwordFile);
    if (qEnvironmentVariableIsSet("ZAMBREL_PASSWORD"))
        return qEnvironmentVariable("ZAMBREL_PASSWORD");
    if (store::lookAtLedgerFile(ledgerPath) != store::LedgerFileLook::Encrypted)
        return {};
    if (!::isatty(STDIN_FILENO))
        throw store::DbError(
            store::ErrorKind::Other,
            QStringLiteral("需要密码 The ledger needs its password: give --password-file FILE "
                           "or set ZAMBREL_PASSWORD"));
    return askOnTerminal();
}

void forgetPassword(QString &password)
{
    password.fill(u'\0');
    password.clear();
}

} // namespace zambrel::cli
