#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <cstddef>
#include <set>
#include <utility>

// The machine's IPv4 addresses and its usable IPv6 ones as the kernel's route messages tell them.
// The answers to a dump request rebuild the set; announcements (RTM_NEWADDR, RTM_DELADDR) change
// it. Only a real change of the (interface, address) pairs counts: an announcement of an address
// already held, such as a lifetime refresh, does not. An IPv6 address is held only while the
// world can use it: global scope, and neither temporary, deprecated, tentative nor failed in
// duplicate detection; so a flag change counts only when it makes an address usable or unusable,
// and privacy extensions rotating their temporary addresses change nothing. It reads bytes only,
// so recorded messages test it offline.
class NetlinkAddressSet
{
public:
    // (interface index, address in network order: 4 bytes for IPv4, 16 for IPv6)
    using Pair = std::pair<quint32, QByteArray>;
    using Pairs = std::set<Pair>;

    // Our socket's port id: messages to it with the dump's sequence number are its answers.
    void setPortId(quint32 portId) { m_portId = portId; }
    // A dump request went out with `sequence`; its answers rebuild the set.
    void DumpRequested(quint32 sequence);

    // Reads the messages of one datagram; true when they changed the set held. Nothing counts
    // as a change until the first dump's answer is complete.
    bool Read(const char* data, std::size_t length);

    bool Dumping() const { return m_dumping; }
    // True until the first dump's answer is complete: there is nothing to compare with.
    bool Initial() const { return m_initial; }
    const Pairs& Held() const { return m_held; }

private:
    quint32 m_portId = 0;
    quint32 m_dumpSeq = 0;
    bool m_dumping = false;
    bool m_initial = true;
    Pairs m_held;
    Pairs m_fresh;
};
