// The scene tests' shared fixture.
#include "scene_support.h"

#include "glview.h"

namespace scenetest {

namespace {
constexpr int64_t kManualClockBaseTime = 1765000000;  // ManualClock's calendar at its start counter
constexpr int64_t kManualClockBaseCounter = 1000000;
constexpr int64_t kMicroseconds = 1000000;

void ScriptedStart() { ++ClockSyncScript().starts; }
bool ScriptedPoll() {
    ScriptedClockSync& s = ClockSyncScript();
    return ++s.polls == s.succeedAtPoll;
}
void ScriptedStop() { ++ClockSyncScript().stops; }
}  // namespace

ScriptedClockSync& ClockSyncScript() {
    static ScriptedClockSync script;
    return script;
}

int64_t LocalCalendarTime(int hour, int minute, int second) {
    std::tm local = {};
    local.tm_year = 2025 - 1900;
    local.tm_mon = 11;
    local.tm_mday = 7;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = second;
    local.tm_isdst = -1;
    return static_cast<int64_t>(std::mktime(&local));
}

void SceneTest::SetUp() {
    CoreTest::SetUp();
    ResetSceneState();
    fake::ResetOutlineFonts();
    ClockSyncScript() = ScriptedClockSync();
    clockSyncCalls = {ScriptedStart, ScriptedPoll, ScriptedStop};
}

void SceneTest::TearDown() {
    ResetSceneState();
    clockSyncCalls = RealClockSyncCalls();
    fake::ResetOutlineFonts();
    CoreTest::TearDown();
}

int64_t SceneTest::CounterAt(int64_t calendarTime) const {
    return kManualClockBaseCounter + (calendarTime - kManualClockBaseTime) * kMicroseconds;
}

void SceneTest::SetLocalTime(int hour, int minute, int second, double fraction) {
    int64_t t = LocalCalendarTime(hour, minute, second);
    int64_t target = CounterAt(t) + static_cast<int64_t>(fraction * kMicroseconds + 0.5);
    clock.clock.AdvanceSeconds(static_cast<double>(target - clock.clock.counter) / kMicroseconds);
}

void SceneTest::StartView(int width, int height) {
    GlViewOnCreate(true);
    GlViewOnSize(width, height);
}

void SceneTest::Frame(double seconds) {
    clock.clock.AdvanceSeconds(seconds);
    GlViewOnPaint();
}

std::vector<CSceneObject*> SceneTest::Objects() {
    std::vector<CSceneObject*> objects;
    for (CSceneObject* o = sceneObjectList; o; o = o->next) objects.push_back(o);
    return objects;
}

std::vector<std::string> SceneTest::Texts() {
    std::vector<std::string> texts;
    for (CSceneObject* o = sceneObjectList; o; o = o->next) {
        if (std::string(o->tag) == kFlyingTimeTag) texts.push_back(static_cast<CTextObject*>(o)->text);
    }
    return texts;
}

}  // namespace scenetest
