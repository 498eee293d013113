// A scripted stand-in for the sockets shim and the secure generator: the
// test queues what each receive returns and reads back what the client
// opened, looked up, connected to, sent and closed. No datagram leaves the
// process.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "platform/sockets.h"

namespace fake {

struct Incoming {
    ReceiveResult result = ReceiveResult::Datagram;
    std::vector<uint8_t> bytes;  // for Datagram
};

struct Sockets {
    // Inputs the test sets.
    bool startFails = false;
    bool openFails = false;
    bool nonBlockingFails = false;
    bool connectFails = false;
    bool sendFails = false;
    std::vector<std::pair<std::string, uint32_t>> knownHosts;  // what the name lookup finds
    std::deque<Incoming> incoming;   // empty: nothing waiting
    std::vector<uint8_t> randomBytes = {0x5A, 0x17, 0xC3, 0x08, 0x9E, 0x61, 0xF4, 0x2B};
    bool randomFails = false;

    // What the client did.
    int libraryStarts = 0;
    int libraryEnds = 0;
    int opened = 0;
    int closed = 0;
    std::vector<std::string> lookups;
    std::vector<std::string> parses;
    uint32_t connectedAddress = 0;
    uint16_t connectedPort = 0;
    std::vector<std::vector<uint8_t>> sent;
    int receives = 0;
    size_t lastReceiveCapacity = 0;

    bool SocketOpen() const { return opened > closed; }
};

Sockets& FakeSockets();

// IPv4 address a.b.c.d in network byte order.
uint32_t Ipv4(int a, int b, int c, int d);

}  // namespace fake
