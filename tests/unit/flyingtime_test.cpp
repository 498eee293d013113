// The scene object list and the flying time objects: the text of each time
// format, colours by scheme, the flight's brightness and removal plane, and
// the list's update, removal, marking and destruction.
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "crtrand.h"
#include "flyingtime.h"
#include "glview.h"
#include "scene_support.h"
#include "settings_catalogue.h"

namespace {
class FlyingTimeTest : public scenetest::SceneTest {};

// A scene object that counts its updates and deletions and finishes on demand.
struct Probe : CSceneObject {
    int id;
    int* updates;
    std::vector<int>* deleted;
    Probe(int id, int* updates, std::vector<int>* deleted) : id(id), updates(updates), deleted(deleted) {}
    ~Probe() override { deleted->push_back(id); }
    void Update(double dt) override {
        CSceneObject::Update(dt);
        ++*updates;
    }
};

std::vector<int> ProbeIds() {
    std::vector<int> ids;
    for (CSceneObject* o = sceneObjectList; o; o = o->next) ids.push_back(static_cast<Probe*>(o)->id);
    return ids;
}
}  // namespace

TEST_F(FlyingTimeTest, each_time_format_shows_the_hour_as_the_table_says) {
    struct Row {
        int h, m, s;
        const char* twelve;
        const char* suffix;
        const char* twentyFour;
    };
    const Row rows[] = {
        {16, 30, 29, "4:30:29", "4:30:29 PM", "16:30:29"},
        {0, 15, 7, "0:15:07", "0:15:07 AM", "00:15:07"},
        {12, 0, 0, "12:00:00", "12:00:00 PM", "12:00:00"},
        {11, 59, 59, "11:59:59", "11:59:59 AM", "11:59:59"},
    };
    for (const Row& r : rows) {
        const char* expected[] = {r.twelve, r.suffix, r.twentyFour};
        for (int format = 0; format < 3; ++format) {
            TimeFormatEnum.Set(format);
            CFlyingTime* object = new CFlyingTime(r.h, r.m, r.s, 5);
            EXPECT_STREQ(object->text, expected[format]) << "format " << format;
            EXPECT_STREQ(object->tag, "CFlyingTime");
        }
    }
    // A hand-edited format number falls back to the default, with the suffix.
    TimeFormatEnum.Set(7);
    EXPECT_STREQ((new CFlyingTime(13, 5, 0, 5))->text, "1:05:00 PM");
}

TEST_F(FlyingTimeTest, flight_brightens_with_distance_and_ends_at_the_removal_plane) {
    CFlyingTime* slow = new CFlyingTime(1, 2, 3, 12);
    EXPECT_NEAR(slow->velocity.z, 2.0833333333, 1e-9);
    CFlyingTime* object = new CFlyingTime(1, 2, 3, 5);
    EXPECT_EQ(object->velocity.z, 5.0);

    object->Update(2.5);  // half-way
    EXPECT_DOUBLE_EQ(object->position.z, -12.5);
    EXPECT_DOUBLE_EQ(object->brightness, 0.25);

    object->position.z = 0.2499;
    object->Update(0.0);
    EXPECT_FALSE(object->IsFinished());
    EXPECT_DOUBLE_EQ(object->brightness, (1 - 0.009996) * (1 - 0.009996));

    object->position.z = 0.25;
    object->Update(0.0);
    EXPECT_TRUE(object->IsFinished());
    EXPECT_DOUBLE_EQ(object->brightness, (1 - 0.009996) * (1 - 0.009996)) << "keeps its last value";
}

TEST_F(FlyingTimeTest, chosen_colour_comes_from_text_color_and_black_stays_black) {
    TextColorEnum.Set(3);
    TextColor.Set(0xFF8040);
    CFlyingTime* object = new CFlyingTime(1, 2, 3, 5);
    EXPECT_DOUBLE_EQ(object->colour.x, 64.0 / 255);
    EXPECT_DOUBLE_EQ(object->colour.y, 128.0 / 255);
    EXPECT_DOUBLE_EQ(object->colour.z, 1.0);

    ResetSceneState();
    TextColor.Set(0);
    new CFlyingTime(1, 2, 3, 5);
    TextColor.Set(0x0000FF);  // a black choice is read again at every spawn
    CFlyingTime* later = new CFlyingTime(1, 2, 4, 5);
    EXPECT_DOUBLE_EQ(later->colour.x, 1.0);
}

TEST_F(FlyingTimeTest, random_schemes_keep_the_luminance_floor_fixed_or_per_object) {
    SeedRandom(99);
    for (int scheme : {1, 2}) {
        ResetSceneState();
        TextColorEnum.Set(scheme);
        std::set<double> reds;
        for (int i = 0; i < 50; ++i) {
            CFlyingTime* o = new CFlyingTime(1, 2, i % 60, 5);
            EXPECT_GE(o->colour.Luminance(), 0.4);
            reds.insert(o->colour.x);
        }
        EXPECT_EQ(reds.size(), scheme == 1 ? 1u : 50u) << "scheme " << scheme;
    }
}

TEST_F(FlyingTimeTest, progression_drifts_slowly_and_dark_draws_are_boosted_to_the_floor) {
    SeedRandom(7);
    TextColorEnum.Set(0);
    const double maxStep[3] = {9.1, 8.05, 7};
    double previous[3] = {};
    for (int i = 0; i < 400; ++i) {
        CFlyingTime* o = new CFlyingTime(1, 2, i % 60, 5);
        EXPECT_GE(o->colour.Luminance(), 0.4);
        const CWanderer* w[3] = {&scene.flyingTimeColours.red, &scene.flyingTimeColours.green, &scene.flyingTimeColours.blue};
        for (int c = 0; c < 3; ++c) {
            if (i > 0) {
                EXPECT_LE(std::fabs(w[c]->value - previous[c]), maxStep[c] + 1e-9);
            }
            previous[c] = w[c]->value;
        }
    }

    // Force the darkest colour: each wanderer at its floor, moving down.
    for (CWanderer* w : {&scene.flyingTimeColours.red, &scene.flyingTimeColours.green, &scene.flyingTimeColours.blue}) {
        w->value = 30;
        w->velocity = -1;
        w->direction = -1;
        w->flipTime = 0;  // no random reversal in this step
    }
    CFlyingTime* dark = new CFlyingTime(1, 2, 3, 5);
    double luminance = dark->colour.Luminance();
    EXPECT_GE(luminance, 0.4);
    EXPECT_LT(luminance, 0.4 * 1.01);
    EXPECT_DOUBLE_EQ(dark->colour.x, dark->colour.y) << "the boost keeps the hue";
    EXPECT_GT(dark->colour.x, 30.0 / 255);
}

TEST_F(FlyingTimeTest, one_pass_removes_head_middle_and_tail_and_keeps_the_rest_in_order) {
    int updates = 0;
    std::vector<int> deleted;
    for (int id = 5; id >= 1; --id) new Probe(id, &updates, &deleted);  // list: 1 2 3 4 5
    ASSERT_EQ(ProbeIds(), std::vector<int>({1, 2, 3, 4, 5}));
    for (CSceneObject* o = sceneObjectList; o; o = o->next) {
        int id = static_cast<Probe*>(o)->id;
        o->finished = (id == 1 || id == 3 || id == 5);
        o->velocity.Assign(1, 0, 0);
    }
    UpdateSceneObjects(0.5);
    EXPECT_EQ(updates, 5) << "a removed object is updated once more";
    EXPECT_EQ(deleted, std::vector<int>({1, 3, 5}));
    EXPECT_EQ(ProbeIds(), std::vector<int>({2, 4}));
    EXPECT_EQ(sceneObjectList->position.x, 0.5);

    UpdateSceneObjects(0.5);
    EXPECT_EQ(ProbeIds(), std::vector<int>({2, 4}));
    DestroySceneObjects();
    EXPECT_EQ(sceneObjectList, nullptr);
    EXPECT_EQ(deleted, std::vector<int>({1, 3, 5, 2, 4}));
    DestroySceneObjects();  // an empty list stays empty
    EXPECT_EQ(sceneObjectList, nullptr);
}

TEST_F(FlyingTimeTest, finishing_by_tag_marks_exact_matches_only_and_leaves_them_linked) {
    int updates = 0;
    std::vector<int> deleted;
    Probe* other = new Probe(1, &updates, &deleted);
    other->SetTag("CFlyingTimeX");
    new CFlyingTime(1, 2, 3, 5);
    Probe* untagged = new Probe(2, &updates, &deleted);
    new CFlyingTime(1, 2, 4, 5);

    FinishObjectsByTag("NoSuchTag");
    for (CSceneObject* o = sceneObjectList; o; o = o->next) EXPECT_FALSE(o->finished);

    FinishObjectsByTag("cflyingtime");
    for (CSceneObject* o = sceneObjectList; o; o = o->next) EXPECT_FALSE(o->finished) << "case matters";

    FinishObjectsByTag("CFlyingTime");
    EXPECT_EQ(Objects().size(), 4u);
    EXPECT_FALSE(other->finished);
    EXPECT_FALSE(untagged->finished);
    UpdateSceneObjects(0.0);
    EXPECT_EQ(Objects().size(), 2u);
    EXPECT_TRUE(Texts().empty());
}
