// The desktop's keyring through QtKeychain, which speaks the Secret Service (or KWallet) over
// D-Bus. A locked keyring may wait for its owner to unlock it; a session without one may never
// answer: every job is waited for in an event loop of its own, for its bound at most. A job
// that outlives its bound deletes itself when it ends at last.
#include "platform/SecretStore.h"

#include <qt6keychain/keychain.h>

#include <QEventLoop>
#include <QTimer>

namespace {

const QString kService = QStringLiteral("HostVane");

class SecretServiceKeyring final : public SecretStore
{
public:
    explicit SecretServiceKeyring(std::chrono::milliseconds bound) : m_bound(bound) {}

    Found Read(const QString& name) override
    {
        auto* job = new QKeychain::ReadPasswordJob(kService);
        job->setKey(name);
        Found found;
        const QString failure = run(job, [&found, job] {
            if (job->error() == QKeychain::NoError)
                found.secret = job->textData();
        });
        if (!failure.isEmpty())
            found.failure = failure;
        return found;
    }

    QString Write(const QString& name, const QString& secret) override
    {
        if (secret.isEmpty()) {
            auto* job = new QKeychain::DeletePasswordJob(kService);
            job->setKey(name);
            return run(job, [] {});
        }
        auto* job = new QKeychain::WritePasswordJob(kService);
        job->setKey(name);
        job->setTextData(secret);
        return run(job, [] {});
    }

private:
    // Starts the job and waits for it; `finished` reads its result. Empty when the keyring
    // answered (a missing entry is an answer), else why not.
    template <typename Finished> QString run(QKeychain::Job* job, Finished finished)
    {
        job->setAutoDelete(true);
        job->setInsecureFallback(false);
        QEventLoop loop;
        QString failure = QStringLiteral("the keyring did not answer within %1 s")
                              .arg(static_cast<double>(m_bound.count()) / 1000.0);
        QObject::connect(job, &QKeychain::Job::finished, &loop, [&, job] {
            failure = job->error() == QKeychain::NoError || job->error() == QKeychain::EntryNotFound
                          ? QString()
                          : job->errorString();
            finished();
            loop.quit();
        });
        QTimer::singleShot(m_bound, &loop, &QEventLoop::quit);
        job->start();
        loop.exec();
        return failure;
    }

    std::chrono::milliseconds m_bound;
};

} // namespace

std::unique_ptr<SecretStore> SecretStore::DesktopKeyring(std::chrono::milliseconds bound)
{
    return std::make_unique<SecretServiceKeyring>(bound);
}
