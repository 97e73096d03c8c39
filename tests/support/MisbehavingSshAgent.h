#pragma once

#include <QString>
#include <QTemporaryDir>

#include <thread>

// An ssh agent socket that answers a request for keys wrongly, as a broken or hostile agent
// would; ended with the object.
class MisbehavingSshAgent
{
public:
    enum class Behaviour
    {
        Silent,             // reads the request and never answers
        Garbage,            // answers a message that is no list of keys
        HugeAnswer,         // announces a 2 GB answer and sends a few bytes of it
        ClosesAfterRequest, // reads the request and hangs up
    };

    explicit MisbehavingSshAgent(Behaviour behaviour);
    ~MisbehavingSshAgent();
    MisbehavingSshAgent(const MisbehavingSshAgent&) = delete;
    MisbehavingSshAgent& operator=(const MisbehavingSshAgent&) = delete;

    QString socketPath() const { return m_folder.filePath(QStringLiteral("agent.sock")); }

private:
    void serve();

    Behaviour m_behaviour;
    QTemporaryDir m_folder;
    int m_listener = -1;
    int m_stop[2] = {-1, -1};
    std::thread m_thread;
};
