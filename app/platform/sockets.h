// The datagram sockets the SNTP client needs, as one thin shim: starting and
// ending the sockets library, one connected non-blocking UDP socket, name
// lookup, send and a receive that never waits. Winsock on Windows, BSD
// sockets on Linux; the client's steps and checks stay in the core.
#pragma once

#include <cstddef>
#include <cstdint>

// An open socket, or kNoSocket.
using SocketHandle = intptr_t;
inline constexpr SocketHandle kNoSocket = -1;

// IPv4 addresses are in network byte order, as the socket calls take them.
inline constexpr uint32_t kNoAddress = 0xFFFFFFFFu;  // INADDR_NONE

// WSAStartup for version 1.1 (nothing on Linux); false when unavailable.
bool StartSocketLibrary();
// WSACleanup (nothing on Linux); one call for every successful start.
void EndSocketLibrary();

// socket(AF_INET, SOCK_DGRAM, 0); kNoSocket on failure.
SocketHandle OpenUdpSocket();
// FIONBIO / O_NONBLOCK.
bool MakeSocketNonBlocking(SocketHandle socket);
void CloseUdpSocket(SocketHandle socket);

// gethostbyname: the first address of the host's list, 0 when none is found.
uint32_t LookUpHostAddress(const char* host);
// inet_addr: kNoAddress when the text is not a dotted address.
uint32_t ParseDottedAddress(const char* host);

// Connects to address:port; a connection still in progress counts as made.
bool ConnectUdpSocket(SocketHandle socket, uint32_t address, uint16_t port);
// One datagram; false only when the platform reports an error.
bool SendDatagram(SocketHandle socket, const void* data, size_t size);

enum class ReceiveResult {
    Datagram,        // *length bytes of one datagram are in the buffer
    NothingWaiting,  // no datagram has arrived yet
    Oversized,       // a datagram larger than the buffer arrived and was dropped
    Failed,          // any other error, such as a refused connection
};

// One non-blocking receive into the caller's buffer; never waits and never
// allocates.
ReceiveResult ReceiveDatagram(SocketHandle socket, void* buffer, size_t capacity, size_t* length);
