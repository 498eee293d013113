// A UDP peer on 127.0.0.1 that plays the time server by script: it waits for
// the client's request and sends back whatever datagrams the test built,
// from the address the client connected to.
#pragma once

#include <cstdint>
#include <vector>

class ScriptedUdpPeer {
public:
    ScriptedUdpPeer();  // bound to an unused port of 127.0.0.1
    ~ScriptedUdpPeer();
    ScriptedUdpPeer(const ScriptedUdpPeer&) = delete;
    ScriptedUdpPeer& operator=(const ScriptedUdpPeer&) = delete;

    bool Ready() const;
    uint16_t Port() const { return port; }

    // Waits up to timeoutMs for the next datagram from the client; false
    // when none came.
    bool ReceiveRequest(std::vector<uint8_t>* request, int timeoutMs);
    // One datagram to the client the last request came from.
    bool Send(const std::vector<uint8_t>& datagram);

private:
    intptr_t socketHandle = -1;
    uint16_t port = 0;
    uint8_t clientAddress[16] = {};  // the sockaddr_in of the client
    bool haveClient = false;
};
