// The SNTP client: one request per run over a connected non-blocking UDP
// socket, one non-blocking receive per frame, and the clock set from the
// first genuine reply. Sockets, the secure generator and the clock setter
// are platform services; the packet rules are in sntp_packet.cpp.
#include "clocksync.h"

#include "clock.h"
#include "crtrand.h"
#include "platform/clockset.h"
#include "platform/securerandom.h"
#include "platform/sockets.h"
#include "settings_catalogue.h"
#include "sntp_packet.h"
#include "textutil.h"

static_assert(sizeof(std::time_t) >= 8, "calendar seconds past 2038 need a 64-bit time_t");

namespace {
constexpr size_t kHostNameSize = 1000;
constexpr int kBuiltInServerCount = 5;
constexpr const char* kBuiltInServers[kBuiltInServerCount] = {
    "0.pool.ntp.org", "1.pool.ntp.org", "2.pool.ntp.org", "3.pool.ntp.org", "time.nist.gov",
};

// A reply later than this one-way delay (a round trip of about 4 s) is too
// stale to set the clock from.
constexpr uint32_t kLongestOneWayDelayMs = 2000;

// Larger than any datagram worth reading, so a longer reply (one with an
// authenticator, say) shows its true length instead of passing for 48 bytes.
constexpr size_t kReceiveBufferSize = 128;

// Datagrams that are not the reply are dropped; a burst of them is worked
// off a few per frame, so it neither stalls the frame nor delays the genuine
// reply by one frame per forged datagram.
constexpr int kDatagramsPerPoll = 8;

// The compiler's date of this file, which is never later than the build of
// the program that contains it.
constexpr int64_t kOneDaySeconds = 86400;
int64_t DefaultEarliestServerTime() {
    int64_t built = CompilerDateToUnix(__DATE__);
    return built < 0 ? 0 : built - kOneDaySeconds;
}

bool ConvertWithLocaltime(int64_t seconds, std::tm* local) {
    std::time_t time = static_cast<std::time_t>(seconds);
    std::tm* converted = std::localtime(&time);
    if (!converted) return false;
    *local = *converted;
    return true;
}

struct ClockSyncState {
    SocketHandle socket = kNoSocket;
    uint32_t sendTime = 0;           // millisecond tick right after the request went out
    bool libraryStarted = false;
    bool ranThisProcess = false;     // one request per run, however often set-up runs
    uint8_t token[kSntpTokenSize] = {};
    uint16_t serverPort = kSntpPort;
    LocalTimeConversion toLocalTime = ConvertWithLocaltime;
    int64_t earliestServerTime = DefaultEarliestServerTime();
};
ClockSyncState state;

// Closes the socket and ends this exchange's use of the sockets library.
void EndExchange() {
    if (state.socket != kNoSocket) {
        CloseUdpSocket(state.socket);
        state.socket = kNoSocket;
    }
    if (state.libraryStarted) {
        EndSocketLibrary();
        state.libraryStarted = false;
    }
}

bool DrawToken(uint8_t token[kSntpTokenSize]) {
    if (!FillSecureRandom(token, kSntpTokenSize)) return false;
    // An all-zero token would accept a reply whose originate field was
    // simply left empty.
    for (size_t i = 0; i < kSntpTokenSize; ++i) {
        if (token[i] != 0) return true;
    }
    return false;
}

// The local time of the server's transmit timestamp plus the one-way delay,
// and the attempt to set the clock to it.
bool SetClockFromReply(const SntpTransmitTime& transmit, uint32_t oneWayDelayMs) {
    std::tm local;
    if (!state.toLocalTime(NtpSecondsToUnix(transmit.seconds), &local)) return false;
    LocalTimeRecord time = MakeLocalTimeRecord(local, NtpFractionToMilliseconds(transmit.fraction));
    if (!AddDelayToTime(time, oneWayDelayMs)) return false;  // would cross midnight
    return SetLocalClock(time);
}

// A genuine reply ends the exchange whatever it says.
bool FinishExchange(SntpVerdict verdict, const SntpTransmitTime& transmit) {
    uint32_t now = ActiveClock().TickMs();
    bool clockSet = false;
    // A tick below the send time has wrapped; the round trip is then unknown.
    if (now >= state.sendTime) {
        uint32_t oneWayDelayMs = (now - state.sendTime) / 2;
        if (oneWayDelayMs <= kLongestOneWayDelayMs && verdict == SntpVerdict::Accepted) {
            clockSet = SetClockFromReply(transmit, oneWayDelayMs);
        }
    }
    EndExchange();
    return clockSet;
}
}  // namespace

void StartClockSync() {
    if (!SyncClock.IsOn() || state.ranThisProcess) return;
    state.ranThisProcess = true;

    if (!StartSocketLibrary()) return;
    state.libraryStarted = true;
    state.socket = OpenUdpSocket();
    if (state.socket == kNoSocket || !MakeSocketNonBlocking(state.socket)) {
        EndExchange();
        return;
    }

    char host[kHostNameSize];
    const char* configured = SntpServer.Get();
    CopyText(host, sizeof host,
             configured[0] != '\0' ? configured : kBuiltInServers[Random() % kBuiltInServerCount]);

    uint32_t address = LookUpHostAddress(host);
    if (address == 0) address = ParseDottedAddress(host);
    if (address == 0 || address == kNoAddress || !ConnectUdpSocket(state.socket, address, state.serverPort)) {
        EndExchange();
        return;
    }

    uint8_t request[kSntpPacketSize];
    if (!DrawToken(state.token)) {
        EndExchange();
        return;
    }
    BuildSntpRequest(state.token, request);
    if (!SendDatagram(state.socket, request, sizeof request)) {
        EndExchange();
        return;
    }
    state.sendTime = ActiveClock().TickMs();
}

bool PollClockSync() {
    if (state.socket == kNoSocket) return false;
    uint8_t datagram[kReceiveBufferSize];
    for (int i = 0; i < kDatagramsPerPoll; ++i) {
        size_t length = 0;
        switch (ReceiveDatagram(state.socket, datagram, sizeof datagram, &length)) {
        case ReceiveResult::NothingWaiting:
            return false;
        case ReceiveResult::Failed:
            EndExchange();
            return false;
        case ReceiveResult::Oversized:
            continue;
        case ReceiveResult::Datagram:
            break;
        }
        SntpTransmitTime transmit;
        SntpVerdict verdict = CheckSntpReply(datagram, length, state.token, state.earliestServerTime, &transmit);
        if (verdict == SntpVerdict::NotOurs) continue;
        return FinishExchange(verdict, transmit);
    }
    return false;
}

void StopClockSync() { EndExchange(); }

bool ClockSyncWaiting() { return state.socket != kNoSocket; }

void RearmClockSync() {
    EndExchange();
    state.ranThisProcess = false;
}

void SetSntpServerPort(uint16_t port) { state.serverPort = port; }

int64_t EarliestServerTime() { return state.earliestServerTime; }

void SetEarliestServerTime(int64_t unixSeconds) {
    state.earliestServerTime = unixSeconds < 0 ? DefaultEarliestServerTime() : unixSeconds;
}

void SetLocalTimeConversion(LocalTimeConversion conversion) {
    state.toLocalTime = conversion ? conversion : ConvertWithLocaltime;
}
