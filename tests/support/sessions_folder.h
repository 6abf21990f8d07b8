#pragma once

#include "storage/file_session_storage.h"

#include <QDir>
#include <QTemporaryDir>

#include <memory>

namespace lirra::test {

// A temporary home with a documents folder, and the session files in it,
// for test classes that read and write them through the real storage:
// `newHome` in each test's `init`.
class SessionsFolderFixture {
protected:
    std::unique_ptr<QTemporaryDir> m_home;
    QString m_documents;

    void newHome()
    {
        m_home = std::make_unique<QTemporaryDir>();
        m_documents = m_home->filePath(QStringLiteral("Documents"));
        QDir().mkpath(m_documents);
    }
    FileSessionStorage storage() const
    {
        return FileSessionStorage([documents = m_documents]() -> Result<QString> { return documents; });
    }
    QString folder() const { return m_documents + QStringLiteral("/lirra_sessions"); }
    QString file(int id = 1) const { return folder() + QStringLiteral("/sessions_%1.txt").arg(id); }
};

} // namespace lirra::test
