// The sockets shim on Windows: Winsock 1.1 as the client has always used
// it. Winsock drops the rest of a datagram that does not fit the buffer and
// reports WSAEMSGSIZE, which is passed on as an oversized datagram.
#include <winsock2.h>

#include <cstring>

#include "platform/sockets.h"

namespace {
constexpr WORD kWinsockVersion = MAKEWORD(1, 1);
}  // namespace

bool StartSocketLibrary() {
    WSADATA data;
    return WSAStartup(kWinsockVersion, &data) == 0;
}

void EndSocketLibrary() { WSACleanup(); }

SocketHandle OpenUdpSocket() {
    SOCKET handle = socket(AF_INET, SOCK_DGRAM, 0);
    return handle == INVALID_SOCKET ? kNoSocket : static_cast<SocketHandle>(handle);
}

bool MakeSocketNonBlocking(SocketHandle socket) {
    u_long nonBlocking = 1;
    return ioctlsocket(static_cast<SOCKET>(socket), FIONBIO, &nonBlocking) == 0;
}

void CloseUdpSocket(SocketHandle socket) { closesocket(static_cast<SOCKET>(socket)); }

uint32_t LookUpHostAddress(const char* host) {
    hostent* entry = gethostbyname(host);
    if (!entry || entry->h_addrtype != AF_INET || entry->h_length != sizeof(in_addr) ||
        !entry->h_addr_list[0]) {
        return 0;
    }
    in_addr address;
    memcpy(&address, entry->h_addr_list[0], sizeof address);
    return address.s_addr;
}

uint32_t ParseDottedAddress(const char* host) { return inet_addr(host); }

bool ConnectUdpSocket(SocketHandle socket, uint32_t address, uint16_t port) {
    sockaddr_in server;
    memset(&server, 0, sizeof server);
    server.sin_family = AF_INET;
    server.sin_port = htons(port);
    server.sin_addr.s_addr = address;
    int result = connect(static_cast<SOCKET>(socket), reinterpret_cast<sockaddr*>(&server), sizeof server);
    return result == 0 || WSAGetLastError() == WSAEWOULDBLOCK;
}

bool SendDatagram(SocketHandle socket, const void* data, size_t size) {
    return send(static_cast<SOCKET>(socket), static_cast<const char*>(data), static_cast<int>(size), 0) !=
           SOCKET_ERROR;
}

ReceiveResult ReceiveDatagram(SocketHandle socket, void* buffer, size_t capacity, size_t* length) {
    int received = recv(static_cast<SOCKET>(socket), static_cast<char*>(buffer), static_cast<int>(capacity), 0);
    if (received == SOCKET_ERROR) {
        switch (WSAGetLastError()) {
        case WSAEWOULDBLOCK:
            return ReceiveResult::NothingWaiting;
        case WSAEMSGSIZE:
            return ReceiveResult::Oversized;
        default:
            return ReceiveResult::Failed;
        }
    }
    *length = static_cast<size_t>(received);
    return ReceiveResult::Datagram;
}
