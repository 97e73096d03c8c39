#pragma once

#include <QByteArray>
#include <QSet>

#include <functional>

class ErrorReporter;
class FileTransfer;
class Prompt;

// What follows a publish that an SFTP server's host key stopped. An unknown key is offered to
// be trusted on the desktop, with its full fingerprint, and the page is published once it is;
// a key that changed is a security event, told once in a box or (as a service) in the system
// log, with both fingerprints and how to accept the new key. Each key is asked or told about
// once, not at every check; a service never asks, its error lines saying how to trust a key.
class HostKeyQuestions
{
public:
    HostKeyQuestions(Prompt& prompt, ErrorReporter& errors) : m_prompt(prompt), m_errors(errors) {}

    void CheckFinished(const FileTransfer& ftp, bool serviceMode,
                       const std::function<void()>& publishAgain);

private:
    Prompt& m_prompt;
    ErrorReporter& m_errors;
    // The key blobs asked about as unknown, and those told about as changed.
    QSet<QByteArray> m_asked;
    QSet<QByteArray> m_warned;
};
