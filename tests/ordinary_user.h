// Cases that need an ordinary user (a file that root could read anyway) when the tests run as
// root, as they do in CI: the case runs again in a child of this program dropped to uid and gid
// 65534, and its verdict is the case's.
#pragma once

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <sys/syscall.h>
#include <unistd.h>

inline void runAsOrdinaryUser()
{
    using namespace Qt::StringLiterals;
    const QString function = QString::fromUtf8(QTest::currentTestFunction());
    const QString tag = QString::fromUtf8(QTest::currentDataTag());
    QProcess child;
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.setWorkingDirectory(QDir::rootPath());
    child.setChildProcessModifier([] {
        // Bare system calls: between fork and exec the C library promises little.
        if (::syscall(SYS_setgroups, 0, nullptr) != 0
            || ::syscall(SYS_setresgid, 65534, 65534, 65534) != 0
            || ::syscall(SYS_setresuid, 65534, 65534, 65534) != 0)
            ::_exit(125);
    });
    // What the case reads is the source tree's media files. A tree in a home folder closed to
    // others, as Debian makes them, keeps uid 65534 out: the case reads a copy open to all.
    QTemporaryDir open;
    QVERIFY(open.isValid());
    const QString media = u"/media/files"_s;
    QVERIFY(QDir(open.path()).mkpath(open.path() + media));
    const QFileDevice::Permissions readable = QFileDevice::ReadOwner | QFileDevice::WriteOwner
            | QFileDevice::ReadGroup | QFileDevice::ReadOther;
    const QFileDevice::Permissions searchable =
            readable | QFileDevice::ExeOwner | QFileDevice::ExeGroup | QFileDevice::ExeOther;
    for (const QString &folder : { QString(), u"/media"_s, media })
        QVERIFY(QFile::setPermissions(open.path() + folder, searchable));
    const QDir tree(qEnvironmentVariable("TOVEMI_SOURCE_DIR") + media);
    for (const QString &name : tree.entryList(QDir::Files)) {
        const QString copy = open.path() + media + u'/' + name;
        QVERIFY(QFile::copy(tree.filePath(name), copy));
        QVERIFY(QFile::setPermissions(copy, readable));
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"TOVEMI_SOURCE_DIR"_s, open.path());
    child.setProcessEnvironment(environment);
    // This very program, by the kernel's link to it.
    child.start(u"/proc/self/exe"_s, { function + u':' + tag });
    QVERIFY2(child.waitForFinished(240'000), "the case as uid 65534 did not finish");
    const QString output = QString::fromLocal8Bit(child.readAll());
    // Passed, and not by finding no such case.
    const QStringList lines = output.split(u'\n');
    const bool passed = child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0
            && std::any_of(lines.begin(), lines.end(), [&](const QString &line) {
                            return line.startsWith(u"PASS   : "_s)
                                    && line.endsWith(u"::%1(%2)"_s.arg(function, tag));
                        });
    QVERIFY2(passed, qPrintable(u"the case as uid 65534:\n"_s + output));
}
