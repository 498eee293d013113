// The scripted sockets shim and generator. The socket handle is a fixed
// number; a real one is never opened.
#include "fake_sockets.h"

#include <cstdio>
#include <cstring>

#include "platform/securerandom.h"

namespace fake {

Sockets& FakeSockets() {
    static Sockets sockets;
    return sockets;
}

uint32_t Ipv4(int a, int b, int c, int d) {
    const uint8_t bytes[4] = {static_cast<uint8_t>(a), static_cast<uint8_t>(b), static_cast<uint8_t>(c),
                              static_cast<uint8_t>(d)};
    uint32_t address;
    memcpy(&address, bytes, sizeof address);
    return address;
}

}  // namespace fake

using fake::FakeSockets;

namespace {
constexpr SocketHandle kFakeSocket = 7;
}

bool StartSocketLibrary() {
    if (FakeSockets().startFails) return false;
    ++FakeSockets().libraryStarts;
    return true;
}

void EndSocketLibrary() { ++FakeSockets().libraryEnds; }

SocketHandle OpenUdpSocket() {
    if (FakeSockets().openFails) return kNoSocket;
    ++FakeSockets().opened;
    return kFakeSocket;
}

bool MakeSocketNonBlocking(SocketHandle) { return !FakeSockets().nonBlockingFails; }

void CloseUdpSocket(SocketHandle) { ++FakeSockets().closed; }

uint32_t LookUpHostAddress(const char* host) {
    FakeSockets().lookups.push_back(host);
    for (const auto& known : FakeSockets().knownHosts) {
        if (known.first == host) return known.second;
    }
    return 0;
}

uint32_t ParseDottedAddress(const char* host) {
    FakeSockets().parses.push_back(host);
    int a, b, c, d;
    char rest;
    if (sscanf(host, "%d.%d.%d.%d%c", &a, &b, &c, &d, &rest) != 4) return kNoAddress;
    return fake::Ipv4(a, b, c, d);
}

bool ConnectUdpSocket(SocketHandle, uint32_t address, uint16_t port) {
    FakeSockets().connectedAddress = address;
    FakeSockets().connectedPort = port;
    return !FakeSockets().connectFails;
}

bool SendDatagram(SocketHandle, const void* data, size_t size) {
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    FakeSockets().sent.emplace_back(bytes, bytes + size);
    return !FakeSockets().sendFails;
}

ReceiveResult ReceiveDatagram(SocketHandle, void* buffer, size_t capacity, size_t* length) {
    ++FakeSockets().receives;
    FakeSockets().lastReceiveCapacity = capacity;
    auto& queue = FakeSockets().incoming;
    if (queue.empty()) return ReceiveResult::NothingWaiting;
    fake::Incoming next = queue.front();
    queue.pop_front();
    if (next.result != ReceiveResult::Datagram) return next.result;
    // What a datagram socket does with a datagram larger than the buffer.
    if (next.bytes.size() > capacity) return ReceiveResult::Oversized;
    memcpy(buffer, next.bytes.data(), next.bytes.size());
    *length = next.bytes.size();
    return ReceiveResult::Datagram;
}

bool FillSecureRandom(void* buffer, size_t size) {
    if (FakeSockets().randomFails) return false;
    uint8_t* bytes = static_cast<uint8_t*>(buffer);
    for (size_t i = 0; i < size; ++i) {
        const auto& pattern = FakeSockets().randomBytes;
        bytes[i] = pattern[i % pattern.size()];
    }
    return true;
}
