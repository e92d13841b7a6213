// The zqexport and zqplayer programs as the README runs them: export the sample game and
// play it with the offscreen driver, driven by the player's test hooks.
#include "tools_test_support.h"
#include "player_runner.h"

#include "engine/platform/XvfbServer.h"

#include <SDL2/SDL_image.h>
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

using namespace archive_test;
using namespace tools_test;

namespace {

struct ProgramRun {
    int status = -1;
    std::string output;
};

// Runs the command in directory, stdout and stderr together.
ProgramRun run(const std::string& directory, const std::string& command)
{
    const std::string log = directory + "/output.txt";
    const int raw = std::system(("cd '" + directory + "' && " + command + " >'" + log + "' 2>&1").c_str());
    ProgramRun result;
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    const Bytes bytes = readBytes(log);
    result.output.assign(bytes.begin(), bytes.end());
    return result;
}

// The sample game exported below a temporary directory, as game/data or game/data/data.pkg.
class PlayerProgram : public ::testing::Test {
protected:
    void exportGame(bool archive)
    {
        const ProgramRun exported =
            run(dir.path().string(), std::string(ZQ_EXPORT_PROGRAM) + " game" + (archive ? " --archive" : ""));
        ASSERT_EQ(exported.status, 0) << exported.output;
    }
    player_test::PlayerRun play(player_test::PlayerOptions options)
    {
        options.directory = dir.file("game");
        return player_test::runPlayer(ZQ_PLAYER_PROGRAM, options);
    }
    static player_test::PlayerOptions frames(unsigned exitFrame)
    {
        player_test::PlayerOptions options;
        options.exitFrame = exitFrame;
        return options;
    }
    // The frame at which the exported game's menu first shows.
    unsigned menuFrame(bool archive) const { return tools_test::menuFrame(dir.file("game"), archive); }

    void playInFull(bool archive);

    TempDir dir;
};

TEST_F(PlayerProgram, StartsUpInOrderFromTheDirectoryOrTheArchiveAndEndsAfterItsFrame)
{
    for (const bool archive : {false, true}) {
        SCOPED_TRACE(archive ? "archive" : "directory");
        exportGame(archive);
        player_test::PlayerOptions options = frames(3);
        options.screenshots = {{1, "first.png"}, {3, dir.file("third.png")}};
        const player_test::PlayerRun played = play(options);
        EXPECT_EQ(played.status, 0) << played.output;
        // Data, preload, window, Steam, devices, the first frame.
        const int data = played.lineWith(archive ? "[ZqPAppDelegate] game data: " + dir.file("game/data/data.pkg")
                                                 : "[ZqPAppDelegate] game data: " + dir.file("game/data"));
        const int preload = played.lineWith("ZqModelGeneralSettings.0.attributes.pack", data);
        const int window = played.lineWith("[CCEGLViewSDL] window on offscreen", preload);
        const int steam = played.lineWith("Steam Started: false", window);
        const int devices = played.lineWith("[ZqInputDevices] pads through SDL", steam);
        const int firstFrame = played.lineWith("[ZqPAppDelegate] first frame after", devices);
        EXPECT_GE(data, 0) << played.output;
        EXPECT_GT(firstFrame, 0) << played.output;
        for (const std::string& shot : {dir.file("game/first.png"), dir.file("third.png")})
            EXPECT_GT(readBytes(shot).size(), 8u) << shot;
        std::filesystem::remove_all(dir.file("game"));
    }
}

TEST_F(PlayerProgram, TheSampleGameHasItsWindowIconAndSplash)
{
    exportGame(false);
    for (const auto& [name, width, height] : {std::tuple{"icon.ico", 64, 64}, std::tuple{"Default.png", 568, 320}}) {
        SDL_Surface* image = IMG_Load(dir.file(std::string("game/") + name).c_str());
        ASSERT_NE(image, nullptr) << name << ": " << IMG_GetError();
        EXPECT_EQ(image->w, width) << name;
        EXPECT_EQ(image->h, height) << name;
        SDL_FreeSurface(image);
    }
}

// Where a screenshot shows Play's colour (within 3 per channel): the count of such pixels
// and their centre, in window pixels from the top-left.
struct ColourSpot {
    int count = 0;
    int x = 0;
    int y = 0;
};

ColourSpot findColour(const std::string& path, int r, int g, int b)
{
    ColourSpot spot;
    SDL_Surface* loaded = IMG_Load(path.c_str());
    if (!loaded)
        return spot;
    SDL_Surface* image = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0);
    SDL_FreeSurface(loaded);
    long sumX = 0;
    long sumY = 0;
    for (int y = 0; y < image->h; ++y) {
        const auto* row = static_cast<const unsigned char*>(image->pixels) + y * image->pitch;
        for (int x = 0; x < image->w; ++x) {
            const unsigned char* p = row + x * 4;
            if (std::abs(p[0] - r) <= 3 && std::abs(p[1] - g) <= 3 && std::abs(p[2] - b) <= 3) {
                ++spot.count;
                sumX += x;
                sumY += y;
            }
        }
    }
    SDL_FreeSurface(image);
    if (spot.count > 0) {
        spot.x = static_cast<int>(sumX / spot.count);
        spot.y = static_cast<int>(sumY / spot.count);
    }
    return spot;
}

// A screenshot's width and height in pixels; zeros when it cannot be read.
std::pair<int, int> imageSize(const std::string& path)
{
    SDL_Surface* image = IMG_Load(path.c_str());
    const std::pair<int, int> size = image ? std::pair(image->w, image->h) : std::pair(0, 0);
    SDL_FreeSurface(image);
    return size;
}

// Whether the 5x5 pixels around (x, y) of a screenshot are all within 12 per channel of
// the colour.
bool looksLike(const std::string& path, float x, float y, int r, int g, int b)
{
    SDL_Surface* loaded = IMG_Load(path.c_str());
    if (!loaded)
        return false;
    SDL_Surface* image = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0);
    SDL_FreeSurface(loaded);
    bool near = true;
    for (int dy = -2; dy <= 2; ++dy) {
        for (int dx = -2; dx <= 2; ++dx) {
            const int px = std::clamp(static_cast<int>(x) + dx, 0, image->w - 1);
            const int py = std::clamp(static_cast<int>(y) + dy, 0, image->h - 1);
            const auto* p = static_cast<const unsigned char*>(image->pixels) + py * image->pitch + px * 4;
            near = near && std::abs(p[0] - r) <= 12 && std::abs(p[1] - g) <= 12 && std::abs(p[2] - b) <= 12;
        }
    }
    SDL_FreeSurface(image);
    return near;
}

// The design's points (1136 x 640, y up) in a window of the size of a screenshot: fitted and
// centred, as the program shows them.
struct DesignView {
    int width = 0;
    int height = 0;
    explicit DesignView(const std::string& screenshot) { std::tie(width, height) = imageSize(screenshot); }
    std::pair<float, float> pixel(float x, float y) const
    {
        const float scale = std::min(width / 1136.0f, height / 640.0f);
        return {(width - 1136.0f * scale) / 2.0f + x * scale, (height - 640.0f * scale) / 2.0f + (640.0f - y) * scale};
    }
    // The point as an input script writes it.
    std::string at(float x, float y) const
    {
        const auto [px, py] = pixel(x, y);
        return std::to_string(static_cast<int>(px)) + " " + std::to_string(static_cast<int>(py));
    }
    // Whether a screenshot shows the colour around the point.
    bool shows(const std::string& path, float x, float y, int r, int g, int b) const
    {
        return looksLike(path, pixel(x, y).first, pixel(x, y).second, r, g, b);
    }
};

// A screenshot's pixels, read once, looked up at design points.
struct Screenshot {
    Screenshot(const std::string& path, const DesignView& view) : view(view)
    {
        if (SDL_Surface* loaded = IMG_Load(path.c_str())) {
            image = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0);
            SDL_FreeSurface(loaded);
        }
    }
    ~Screenshot() { SDL_FreeSurface(image); }
    Screenshot(const Screenshot&) = delete;
    Screenshot& operator=(const Screenshot&) = delete;
    // Red, green and blue at the design point; black when the picture could not be read.
    std::array<int, 3> at(float x, float y) const
    {
        if (!image)
            return {0, 0, 0};
        const int px = std::clamp(static_cast<int>(view.pixel(x, y).first), 0, image->w - 1);
        const int py = std::clamp(static_cast<int>(view.pixel(x, y).second), 0, image->h - 1);
        const auto* p = static_cast<const unsigned char*>(image->pixels) + py * image->pitch + px * 4;
        return {p[0], p[1], p[2]};
    }
    const DesignView& view;
    SDL_Surface* image = nullptr;
};

// An input script's click at a window point: pressed on frame, released on the next.
std::string click(int frame, const std::string& where)
{
    return std::to_string(frame) + " mouse move " + where + "\n" + std::to_string(frame) + " mouse down " + where +
           "\n" + std::to_string(frame + 1) + " mouse up " + where + "\n";
}

// The "Game" score record of the sample's store under a data home: session, best and
// total of distance, points and coins; empty when there is none.
constexpr std::size_t kBestDistance = 1, kTotalCoins = 8;
std::vector<float> gameRecord(const std::string& dataHome)
{
    const Bytes bytes = readBytes(dataHome + "/Zq Sample Game/UserDefault.xml");
    const std::string store(bytes.begin(), bytes.end());
    std::smatch found;
    std::vector<float> record;
    if (!std::regex_search(store, found, std::regex("4:Game((?: [^ ;]+){9});")))
        return record;
    std::istringstream numbers(found[1]);
    for (float value = 0.0f; numbers >> value;)
        record.push_back(value);
    return record;
}

TEST_F(PlayerProgram, ReturnOrAClickOnPlayLeavesTheMenuForTheGame)
{
    exportGame(false);
    const unsigned menuAt = menuFrame(false);
    // Untouched, the menu shows Play, blue.
    player_test::PlayerOptions options = frames(menuAt + 280);
    options.screenshots = {{menuAt + 280, "menu.png"}};
    const player_test::PlayerRun idle = play(options);
    ASSERT_EQ(idle.status, 0) << idle.output;
    EXPECT_GE(idle.lineWith("[ZqServices] Screen On Enter: Menu"), 0) << idle.output;
    const ColourSpot button = findColour(dir.file("game/menu.png"), 60, 120, 220);
    ASSERT_GT(button.count, 1000);

    const std::string at = std::to_string(button.x) + " " + std::to_string(button.y);
    for (const std::string& script : {std::string("180 key down Return\n181 key up Return\n"),
                                      "180 mouse down " + at + "\n181 mouse up " + at + "\n"}) {
        SCOPED_TRACE(script);
        options.script = fromMenu(menuAt, script);
        options.screenshots = {{menuAt + 280, "after.png"}};
        const player_test::PlayerRun pressed = play(options);
        ASSERT_EQ(pressed.status, 0) << pressed.output;
        const int entered = pressed.lineWith("[ZqServices] Screen On Enter: Menu");
        EXPECT_GT(pressed.lineWith("[ZqServices] Screen On Exit: Menu", entered), entered) << pressed.output;
        EXPECT_EQ(findColour(dir.file("game/after.png"), 60, 120, 220).count, 0);
    }
}

TEST_F(PlayerProgram, AltEnterWithoutADisplayKeepsThePictureInTheWindow)
{
    exportGame(false);
    const unsigned menuAt = menuFrame(false);
    player_test::PlayerOptions options = frames(menuAt + 210);
    options.script =
        fromMenu(menuAt, "180 key down Left Alt\n180 key down Return\n182 key up Return\n182 key up Left Alt\n");
    options.screenshots = {{menuAt + 170, "windowed.png"}, {menuAt + 210, "fullscreen.png"}};
    const player_test::PlayerRun played = play(options);
    ASSERT_EQ(played.status, 0) << played.output;
    ASSERT_GE(played.lineWith("[ZqPAppDelegate] fullscreen"), 0) << played.output;
    // The offscreen surface keeps its size: Play stays where it was, as large.
    const ColourSpot windowed = findColour(dir.file("game/windowed.png"), 60, 120, 220);
    const ColourSpot fullscreen = findColour(dir.file("game/fullscreen.png"), 60, 120, 220);
    ASSERT_GT(windowed.count, 500);
    EXPECT_NEAR(fullscreen.count, windowed.count, windowed.count / 20);
    EXPECT_NEAR(fullscreen.x, windowed.x, 2);
    EXPECT_NEAR(fullscreen.y, windowed.y, 2);
}

// The bright pixels (every channel above 200) of a screenshot's band of rows, from the
// fraction top to bottom of its height, as rows of flags.
std::vector<std::vector<bool>> brightBand(const std::string& path, double top, double bottom)
{
    std::vector<std::vector<bool>> band;
    SDL_Surface* loaded = IMG_Load(path.c_str());
    if (!loaded)
        return band;
    SDL_Surface* image = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0);
    SDL_FreeSurface(loaded);
    for (int y = static_cast<int>(image->h * top); y < static_cast<int>(image->h * bottom); ++y) {
        const auto* row = static_cast<const unsigned char*>(image->pixels) + y * image->pitch;
        band.emplace_back(image->w);
        for (int x = 0; x < image->w; ++x)
            band.back()[x] = row[x * 4] > 200 && row[x * 4 + 1] > 200 && row[x * 4 + 2] > 200;
    }
    SDL_FreeSurface(image);
    return band;
}

// One letter of a text: its columns' bright pixels, cropped to the rows that hold any.
struct Letter {
    std::vector<std::vector<bool>> pixels;  // [row][column]
    double filled() const
    {
        std::size_t on = 0, all = 0;
        for (const auto& row : pixels) {
            all += row.size();
            on += static_cast<std::size_t>(std::count(row.begin(), row.end(), true));
        }
        return all ? double(on) / double(all) : 0.0;
    }
};

// The letters of a band, left to right: runs of columns with a bright pixel.
std::vector<Letter> lettersOf(const std::vector<std::vector<bool>>& band)
{
    std::vector<Letter> letters;
    const int width = band.empty() ? 0 : static_cast<int>(band[0].size());
    auto columnLit = [&](int x) {
        return std::any_of(band.begin(), band.end(), [x](const std::vector<bool>& row) { return row[x]; });
    };
    for (int x = 0; x < width;) {
        if (!columnLit(x)) {
            ++x;
            continue;
        }
        int end = x;
        while (end < width && columnLit(end))
            ++end;
        Letter letter;
        for (const auto& row : band) {
            if (std::any_of(row.begin() + x, row.begin() + end, [](bool on) { return on; }))
                letter.pixels.emplace_back(row.begin() + x, row.begin() + end);
        }
        letters.push_back(std::move(letter));
        x = end;
    }
    return letters;
}

// The menu as a person first sees it, from the directory and the archive: a title in real
// letters on a background that is not black, and a start whose log names no missing child
// and says what was loaded. The loading screen takes one loading step a frame from its
// tenth frame on: the menu shows at frame 10 + the steps its data takes, which the log
// counts, and not a frame before.
TEST_F(PlayerProgram, TheMenuIsReadableAndTheStartQuiet)
{
    for (const bool archive : {false, true}) {
        SCOPED_TRACE(archive ? "archive" : "directory");
        exportGame(archive);
        const unsigned menuAt = menuFrame(archive);
        const player_test::PlayerRun early = play(frames(menuAt - 1));
        ASSERT_EQ(early.status, 0) << early.output;
        EXPECT_FALSE(early.has("[ZqServices] Screen On Enter: Menu")) << early.output;
        player_test::PlayerOptions options = frames(menuAt);
        options.screenshots = {{menuAt, "menu.png"}};
        const player_test::PlayerRun played = play(options);
        ASSERT_EQ(played.status, 0) << played.output;
        const int menu = played.lineWith("[ZqServices] Screen On Enter: Menu");
        ASSERT_GE(menu, 0) << played.output;
        EXPECT_FALSE(played.has("no model has")) << played.output;
        EXPECT_FALSE(played.has("not read")) << played.output;
        const int loaded = played.lineWith("End loading XML");
        EXPECT_EQ(played.lineWith("[ZqPAppDelegate] loaded "), loaded + 1) << played.output;
        EXPECT_EQ(played.lineWith(" in " + std::to_string(menuAt - 10) + " loading steps"), loaded + 1)
            << played.output;

        // The title "Zq Sample Game" stands between 22 % and 38 % of the height.
        const std::vector<Letter> title = lettersOf(brightBand(dir.file("game/menu.png"), 0.22, 0.38));
        ASSERT_GE(title.size(), 2u);
        const Letter& z = title[0];
        const Letter& q = title[1];
        EXPECT_LT(z.filled(), 0.8) << "a filled box, not a Z";
        EXPECT_LT(q.filled(), 0.8) << "a filled box, not a q";
        // The two letters differ in their size or in their pixels.
        bool differ = z.pixels.size() != q.pixels.size() || z.pixels[0].size() != q.pixels[0].size();
        for (std::size_t y = 0; !differ && y < z.pixels.size(); ++y)
            differ = z.pixels[y] != q.pixels[y];
        EXPECT_TRUE(differ);
        EXPECT_EQ(findColour(dir.file("game/menu.png"), 0, 0, 0).count, 0) << "black shows on the menu";
        std::filesystem::remove_all(dir.file("game"));
    }
}

TEST_F(PlayerProgram, AnEmptyArchiveFallsBackToTheDirectory)
{
    exportGame(false);
    writeBytes(dir.file("game/data/data.pkg"), {});
    const player_test::PlayerRun played = play(frames(1));
    EXPECT_EQ(played.status, 0) << played.output;
    EXPECT_GE(played.lineWith("[ZqPAppDelegate] game data: " + dir.file("game/data")), 0) << played.output;
    EXPECT_FALSE(played.has("data.pkg")) << played.output;
}

TEST_F(PlayerProgram, MissingOrBadDataIsOneMessageAndAFailingStatus)
{
    std::filesystem::create_directories(dir.file("game"));
    const player_test::PlayerRun noData = play(frames(1));
    EXPECT_EQ(noData.status, 1);
    EXPECT_GE(noData.lineWith("No game data: there is no \"data\" directory"), 0) << noData.output;
    EXPECT_FALSE(noData.has("Steam Started")) << noData.output;

    writeBytes(dir.file("game/data/data.pkg"), bytesOf("not a zip archive at all"));
    const player_test::PlayerRun badArchive = play(frames(1));
    EXPECT_EQ(badArchive.status, 1);
    EXPECT_GE(badArchive.lineWith("data/data.pkg"), 0) << badArchive.output;
}

TEST_F(PlayerProgram, MalformedHooksAreErrorsBeforeAnythingRuns)
{
    exportGame(false);
    player_test::PlayerOptions options = frames(5);
    options.script = "1 key down Return\n\n# then\n4 pad trigger 1\n";
    const player_test::PlayerRun badScript = play(options);
    EXPECT_EQ(badScript.status, 2);
    EXPECT_GE(badScript.lineWith("ZQ_INPUT_SCRIPT line 4: unknown event 'pad trigger'"), 0) << badScript.output;
    EXPECT_FALSE(badScript.has("first frame")) << badScript.output;

    options = frames(5);
    options.environment = {"ZQ_SCREENSHOTS=later:shot.png"};
    const player_test::PlayerRun badShots = play(options);
    EXPECT_EQ(badShots.status, 2);
    EXPECT_GE(badShots.lineWith("ZQ_SCREENSHOTS: expected frame:path, got 'later:shot.png'"), 0) << badShots.output;

    // Values that would make a run pass without doing its work.
    std::filesystem::create_directories(dir.file("game/folder"));
    for (const auto& [variable, message] :
         {std::pair<std::string, std::string>{"ZQ_SCREENSHOTS=3:no/such/folder/shot.png", "the folder of 'no/such/folder/shot.png'"},
          {"ZQ_SCREENSHOTS=9:late.png", "frame 9 of '9:late.png' comes after ZQ_EXIT_FRAME 5"},
          {"ZQ_INPUT_SCRIPT=" + dir.file("game/folder"), "is not a readable regular file"}}) {
        options = frames(5);
        options.environment = {variable};
        const player_test::PlayerRun bad = play(options);
        EXPECT_EQ(bad.status, 2) << variable;
        EXPECT_TRUE(bad.has(message)) << bad.output;
        EXPECT_FALSE(bad.has("Steam Started")) << bad.output;
    }

    // A screenshot that cannot be written when its frame comes ends the run there.
    options = frames(50);
    options.screenshots = {{3, "folder"}};
    const player_test::PlayerRun failedShot = play(options);
    EXPECT_EQ(failedShot.status, 2);
    EXPECT_GE(failedShot.lineWith("ZQ_SCREENSHOTS: frame 3 could not be saved to folder"), 0) << failedShot.output;
}

TEST_F(PlayerProgram, UnderADisplayNoBoxWaitsForAHookAndASignalEndsABox)
{
    XvfbServer xvfb("640x480x24");
    if (!xvfb.installed())
        GTEST_SKIP() << "Xvfb is not installed";
    ASSERT_TRUE(xvfb.available());
    // A malformed hook: one line, no box, at once.
    std::filesystem::create_directories(dir.file("game"));
    player_test::PlayerOptions options = frames(5);
    options.display = xvfb.display();
    options.environment = {"ZQ_SEED=many"};
    const player_test::PlayerRun badHook = play(options);
    EXPECT_FALSE(badHook.timedOut);
    EXPECT_EQ(badHook.status, 2) << badHook.output;

    // No game data: the box shows until SIGTERM, which ends the program with the error's status.
    options.environment.clear();
    options.terminateAfterOutput = "No game data";
    const player_test::PlayerRun boxed = play(options);
    EXPECT_FALSE(boxed.timedOut);
    EXPECT_EQ(boxed.status, 1) << boxed.output;
    EXPECT_GE(boxed.lineWith("No game data"), 0) << boxed.output;
}

TEST_F(PlayerProgram, DataWithoutItsStartScreenEndsWithOneMessage)
{
    exportGame(false);
    // One flipped byte in the start screen's key.
    const std::string screens = dir.file("game/data/ZqModelScreen.0.attributes.pack");
    Bytes bytes = readBytes(screens);
    const std::string key = "ZqPScreenStart";
    const auto at = std::search(bytes.begin(), bytes.end(), key.begin(), key.end());
    ASSERT_NE(at, bytes.end());
    at[3] ^= 1;
    writeBytes(screens, bytes);
    player_test::PlayerOptions options;
    const player_test::PlayerRun played = play(options);
    EXPECT_FALSE(played.timedOut);
    EXPECT_EQ(played.status, 1) << played.output;
    // One message, not one from each of the steps that could not go on.
    const int message = played.lineWith("The game has no start screen: its data is damaged");
    EXPECT_GE(message, 0) << played.output;
    EXPECT_EQ(played.lineWith("The game has no start screen", message + 1), -1) << played.output;
    EXPECT_FALSE(played.has("loading failed")) << played.output;
}

// The keys of a store file's entries.
std::set<std::string> storeKeys(const std::string& path)
{
    const Bytes bytes = readBytes(path);
    const std::string text(bytes.begin(), bytes.end());
    std::set<std::string> keys;
    const std::regex entry("<entry key=\"([^\"]*)\">[^<]*</entry>");
    for (auto match = std::sregex_iterator(text.begin(), text.end(), entry); match != std::sregex_iterator(); ++match)
        keys.insert((*match)[1]);
    return keys;
}

TEST_F(PlayerProgram, ASalvagedStoreSurvivesARunKilledOnItsFirstFrame)
{
    exportGame(false);
    const player_test::PlayerRun saved = play(frames(menuFrame(false) + 180));
    ASSERT_EQ(saved.status, 0) << saved.output;
    const std::string store = dir.file("game/store/Zq Sample Game/UserDefault.xml");
    const std::set<std::string> keys = storeKeys(store);
    ASSERT_GT(keys.size(), 5u);

    Bytes bytes = readBytes(store);
    bytes.resize(bytes.size() - 2);
    writeBytes(store, bytes);
    ASSERT_EQ(storeKeys(store), keys);
    player_test::PlayerOptions options;
    options.whileRunning = [&options](pid_t child) {
        EXPECT_TRUE(player_test::waitForOutput(options, "[ZqPAppDelegate] first frame after",
                                               std::chrono::seconds(options.timeoutSeconds)));
        kill(child, SIGTERM);
    };
    options.directory = dir.file("game");
    const player_test::PlayerRun killed = player_test::runPlayer(ZQ_PLAYER_PROGRAM, options);
    EXPECT_EQ(killed.status, 0) << killed.output;
    EXPECT_TRUE(killed.has("save refused")) << killed.output;
    EXPECT_TRUE(std::filesystem::exists(store + ".damaged-1"));

    const player_test::PlayerRun next = play(frames(1));
    EXPECT_EQ(next.status, 0) << next.output;
    EXPECT_FALSE(next.has("is damaged")) << next.output;
    EXPECT_EQ(storeKeys(store), keys);
}

TEST_F(PlayerProgram, ATerminationSignalEndsItAsClosingTheWindowDoes)
{
    exportGame(false);
    player_test::PlayerOptions options;
    options.terminateAfterOutput = "[ZqPAppDelegate] first frame after";
    const player_test::PlayerRun played = play(options);
    EXPECT_FALSE(played.timedOut);
    EXPECT_EQ(played.status, 0) << played.output;
    // The end runs on the main thread: the progress is saved (or refused before loading).
    const int signalled = played.lineWith("[ZqWindowMessages] signal: closing");
    EXPECT_GE(signalled, 0) << played.output;
    EXPECT_GT(played.lineWith("[ZqPSettingsController]", signalled), signalled) << played.output;
}

// A quit from the terminal ends the run as a termination signal does, saving it; so does a
// run whose log goes to a pipe nobody reads any more (`zqplayer | head`, a launcher gone).
TEST_F(PlayerProgram, AQuitOrAClosedLogPipeEndsItWithItsExitSave)
{
    exportGame(false);
    player_test::PlayerOptions options;
    options.directory = dir.file("game");
    options.whileRunning = [&options](pid_t child) {
        EXPECT_TRUE(player_test::waitForOutput(options, "[ZqPAppDelegate] first frame after",
                                               std::chrono::seconds(options.timeoutSeconds)));
        kill(child, SIGQUIT);
    };
    const player_test::PlayerRun quit = player_test::runPlayer(ZQ_PLAYER_PROGRAM, options);
    EXPECT_EQ(quit.status, 0) << quit.output;
    const int signalled = quit.lineWith("[ZqWindowMessages] signal: closing");
    EXPECT_GE(signalled, 0) << quit.output;
    EXPECT_GT(quit.lineWith("[ZqPSettingsController]", signalled), signalled) << quit.output;

    const std::string store = dir.file("game/store/Zq Sample Game/UserDefault.xml");
    std::filesystem::remove(store);
    player_test::PlayerOptions piped = frames(300);
    piped.outputToClosedPipe = true;
    const player_test::PlayerRun played = play(piped);
    EXPECT_EQ(played.status, 0);
    EXPECT_GT(storeKeys(store).size(), 5u);
}

// A store folder that cannot be made (its data home under a regular file): said once on
// standard error at start, and the game runs on to its end with status 0. Under a display
// the words wait in a box over the window, and no frame runs until it goes (here a signal
// ends it, with status 0).
TEST_F(PlayerProgram, AStoreThatCannotBeSavedIsSaidOnceAtStart)
{
    exportGame(false);
    writeBytes(dir.file("in-the-way"), bytesOf("a file"));
    player_test::PlayerOptions options = frames(60);
    options.dataHome = dir.file("in-the-way/home");
    const player_test::PlayerRun played = play(options);
    EXPECT_EQ(played.status, 0) << played.output;
    const std::string words = "Progress will not be saved: the folder " + options.dataHome +
                              "/Zq Sample Game cannot be made (Not a directory)";
    const int said = played.lineWith(words);
    ASSERT_GE(said, 0) << played.output;
    EXPECT_EQ(played.lineWith("Progress will not be saved", said + 1), -1) << played.output;
    EXPECT_LT(said, played.lineWith("[ZqPAppDelegate] first frame after")) << played.output;

    XvfbServer xvfb("640x480x24");
    if (!xvfb.installed())
        GTEST_SKIP() << "Xvfb is not installed";
    ASSERT_TRUE(xvfb.available());
    options.display = xvfb.display();
    options.timeoutSeconds = 60;
    options.directory = dir.file("game");
    options.whileRunning = [&options](pid_t child) {
        EXPECT_TRUE(player_test::waitForOutput(options, "Progress will not be saved", std::chrono::seconds(30)));
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        kill(child, SIGTERM);
    };
    const player_test::PlayerRun boxed = player_test::runPlayer(ZQ_PLAYER_PROGRAM, options);
    EXPECT_FALSE(boxed.timedOut);
    EXPECT_EQ(boxed.status, 0) << boxed.output;
    EXPECT_FALSE(boxed.has("first frame after")) << boxed.output;
}

// The sample played to its end as the README plays it: Return on the menu, the hero runs
// into the pit and dies, the HUD's observer shows the game-over screen, and the run's best
// distance is in the store.
TEST_F(PlayerProgram, TheSampleIsPlayedFromItsMenuToItsGameOverScreen)
{
    exportGame(false);
    const unsigned menuAt = menuFrame(false);
    player_test::PlayerOptions options = frames(menuAt + 5280);
    options.script = fromMenu(menuAt, "330 key down Return\n331 key up Return\n");
    const player_test::PlayerRun played = play(options);
    ASSERT_EQ(played.status, 0) << played.output;
    const int menu = played.lineWith("[ZqServices] Screen On Enter: Menu");
    const int hud = played.lineWith("[ZqServices] Screen On Enter: HUD", menu);
    const int over = played.lineWith("[ZqServices] Screen On Enter: GameOver", hud);
    EXPECT_GE(menu, 0) << played.output;
    EXPECT_GT(hud, menu) << played.output;
    EXPECT_GT(over, hud) << played.output;

    const std::vector<float> record = gameRecord(dir.file("game/store"));
    ASSERT_EQ(record.size(), 9u);
    EXPECT_GT(record[kBestDistance], 0.0f);
}

// The whole sample through its own hooks, from the directory or the archive: the shop
// visited, Play clicked, the pit jumped by Space and pad button 0, the pad's hat held, one
// slide, the teleport taken by running, a pause left by its back button, and three lives lost
// to the game-over screen. The frames are those of seed 10 at the fixed step (its course
// runs from the start through the ledges to the portals, as the script plays it), counted
// from the menu's first frame.
void PlayerProgram::playInFull(bool archive)
{
    exportGame(archive);
    const unsigned menuAt = menuFrame(archive);
    // The window the program opens: the design's 1136x640 points fit it, centred; the menu
    // shows Play there.
    player_test::PlayerOptions options = frames(menuAt + 140);
    options.screenshots = {{menuAt + 140, "menu.png"}};
    options.dataHome = dir.file("menu-home");
    const player_test::PlayerRun menu = play(options);
    ASSERT_EQ(menu.status, 0) << menu.output;
    const DesignView view(dir.file("game/menu.png"));
    auto at = [&view](float x, float y) { return view.at(x, y); };
    auto shows = [&view](const std::string& path, float x, float y, int r, int g, int b) {
        return view.shows(path, x, y, r, g, b);
    };
    ASSERT_TRUE(shows(dir.file("game/menu.png"), 508.0f, 256.0f, 60, 120, 220)) << "Play, left of its word";
    const std::string playAt = at(568.0f, 256.0f);
    options.script = "# the shop and back\n" + click(180, at(250.0f, 256.0f)) + click(220, at(80.0f, 560.0f)) +
                     click(260, playAt) +
                     "# the pit: a jump by Space, the second by pad button 0\n"
                     "568 key down Space\n580 key up Space\n602 pad button down 0\n614 pad button up 0\n"
                     "680 pad hat 0 right\n720 pad hat 0 centre\n"
                     "740 key down Down\n770 key up Down\n"
                     "# up onto the ledges, over the coins; the portals come next\n"
                     "840 key down Space\n852 key up Space\n"
                     "1580 key down Escape\n1581 key up Escape\n" +
                     click(1620, playAt) + "# then three lives lost, the last near 3330\n";
    // The pad's stick, pushed left for 15 frames while the game is paused and centred
    // before Play resumes it.
    options.script = fromMenu(menuAt, options.script + "1585 pad axis 0 -1\n1600 pad axis 0 0\n");
    options.exitFrame = menuAt + 4960;
    options.seed = 10u;
    options.screenshots = {{menuAt + 4950, "over.png"}};
    // The parallax bands: screenshots late in the run, before the game over (near 3330
    // frames after the menu's first).
    const unsigned bandFrames[] = {menuAt + 2480, menuAt + 3180};
    for (const unsigned frame : bandFrames)
        options.screenshots.emplace_back(frame, "bands-" + std::to_string(frame) + ".png");
    options.dataHome = dir.file(archive ? "home-archive" : "home-directory");
    const player_test::PlayerRun played = play(options);
    ASSERT_EQ(played.status, 0) << played.output;

    // The start screen's node is a start node, which names no report: it enters and leaves
    // as "Unknown".
    int line = played.lineWith("[ZqServices] Screen On Enter: Unknown");
    EXPECT_GE(line, 0) << played.output;
    line = played.lineWith("[ZqServices] Screen On Exit: Unknown", line);
    EXPECT_GT(line, 0) << played.output;
    EXPECT_FALSE(played.has("[ZqServices] Screen On Exit: Start")) << played.output;
    for (const char* screen : {"Menu", "Shop", "Menu", "HUD", "Pause", "HUD", "GameOver"}) {
        const int next = played.lineWith(std::string("[ZqServices] Screen On Enter: ") + screen, line + 1);
        EXPECT_GT(next, line) << screen << "\n" << played.output;
        line = std::max(line, next);
    }
    // Three lives: two restored, the third lost to the game over.
    const int second = played.lineWith("[ZqPScreenScene] lives left: 2");
    EXPECT_GE(second, 0) << played.output;
    EXPECT_GT(played.lineWith("[ZqPScreenScene] lives left: 1", second), second) << played.output;
    EXPECT_FALSE(played.has("[SimpleAudioEngine] cannot decode")) << played.output;
    EXPECT_FALSE(played.has("cannot play")) << played.output;

    // The wall between the portals stands from the ground to the top of the screen: a best
    // distance beyond the second portal's (about 125) is reached through the teleport alone.
    // The start's three coins, the ledges' three and the portals' one come before the pause.
    const std::vector<float> record = gameRecord(options.dataHome);
    ASSERT_EQ(record.size(), 9u);
    EXPECT_GT(record[kBestDistance], 130.0f);
    EXPECT_GE(record[kTotalCoins], 7.0f);

    // The stick let go pushes the hero no more: the life resumed after the pause runs on to
    // the bats (a best of about 166) as it does without the stick; one that stayed pushed
    // held the hero back and ended that life near 153.
    EXPECT_GT(record[kBestDistance], 160.0f) << "the stick let go";

    // The game over's background around its texts (a tenth lighter at the top and darker
    // at the bottom than its colour), and Restart's blue at the centre.
    const std::string over = dir.file("game/over.png");
    const std::pair<float, float> background[] = {{20.0f, 20.0f}, {1116.0f, 620.0f}, {200.0f, 400.0f}, {950.0f, 150.0f}};
    for (const auto& [x, y] : background) {
        const float shade = 0.9f + 0.2f * y / 640.0f;
        EXPECT_TRUE(shows(over, x, y, static_cast<int>(96 * shade), static_cast<int>(40 * shade),
                          static_cast<int>(64 * shade)))
            << x << "," << y;
    }
    EXPECT_TRUE(shows(over, 508.0f, 256.0f, 60, 120, 220));

    // The parallax bands never run out: the far hills' blue-grey foot (design y 165 to 195,
    // above the bushes, below the pale sky) spans the whole width late in the run, each
    // point seen on one of three rows there or 32 points to a side (the hero, a coin or a
    // bat may hide some); the near bushes' green (y 100, behind the hero, rocks and buttons)
    // shows at both ends of the window.
    auto hills = [](std::array<int, 3> p) { return p[0] < 130 && p[2] > p[0] + 30 && p[2] < 200; };
    auto bushes = [](std::array<int, 3> p) { return p[1] > p[0] + 30 && p[1] > p[2] + 20; };
    for (const unsigned frame : bandFrames) {
        const Screenshot shot(dir.file("game/bands-" + std::to_string(frame) + ".png"), view);
        for (float x = 8.0f; x < 1136.0f; x += 16.0f) {
            bool far = false;
            for (const float dx : {0.0f, -32.0f, 32.0f}) {
                for (const float y : {170.0f, 180.0f, 190.0f})
                    far = far || hills(shot.at(x + dx, y));
            }
            EXPECT_TRUE(far) << "far hills at x " << x << ", frame " << frame;
        }
        for (const float x : {16.0f, 1120.0f})
            EXPECT_TRUE(bushes(shot.at(x, 100.0f))) << "near bushes at x " << x << ", frame " << frame;
    }

    // The ferry's water mirrors the field, not the HUD. The play above never meets the ferry;
    // seed 1, with Space pressed every 36 frames from the pit's jump on, brings its water
    // under the HUD's slide button (x 766) from about 2900 to 3080 frames after the menu's
    // first. Once, from the directory.
    if (!archive) {
        player_test::PlayerOptions ferry = frames(menuAt + 3140);
        ferry.seed = 1u;
        ferry.script = click(260, playAt);
        for (int frame = 568; frame < 3140; frame += 36)
            ferry.script += std::to_string(frame) + " key down Space\n" + std::to_string(frame + 10) + " key up Space\n";
        ferry.script = fromMenu(menuAt, ferry.script);
        for (unsigned frame = menuAt + 2860; frame <= menuAt + 3120; frame += 20)
            ferry.screenshots.emplace_back(frame, "ferry-" + std::to_string(frame) + ".png");
        ferry.dataHome = dir.file("home-ferry");
        const player_test::PlayerRun sailed = play(ferry);
        ASSERT_EQ(sailed.status, 0) << sailed.output;
        int water = 0;
        for (const auto& [frame, name] : ferry.screenshots) {
            // 8 points up in the water, where y 120 is reflected: the near bushes' green tinted
            // blue, not the button's body above its word.
            const std::string shot = dir.file("game/" + name);
            water += shows(shot, 766.0f, 8.0f, 54, 103, 104) ? 1 : 0;
            EXPECT_FALSE(shows(shot, 766.0f, 8.0f, 28, 63, 147)) << "the slide button upside down, frame " << frame;
        }
        EXPECT_GE(water, 3) << "the water under the slide button\n" << sailed.output;
    }

    // The same game killed right after its game-over screen keeps its best distance and
    // coins: the next start's menu shows the records that the run ended normally shows.
    {
        player_test::PlayerOptions killed = options;
        killed.directory = dir.file("game");
        killed.dataHome = dir.file(archive ? "killed-archive" : "killed-directory");
        killed.screenshots.clear();
        // Far past the game over: the kill comes first on any machine.
        killed.exitFrame = 9000;
        killed.whileRunning = [&killed](pid_t child) {
            EXPECT_TRUE(player_test::waitForOutput(killed, "[ZqServices] Screen On Enter: GameOver",
                                                   std::chrono::seconds(killed.timeoutSeconds)));
            kill(child, SIGKILL);
        };
        const player_test::PlayerRun dead = play(killed);
        EXPECT_FALSE(dead.timedOut);
        const std::vector<float> kept = gameRecord(killed.dataHome);
        ASSERT_EQ(kept.size(), 9u) << dead.output;
        EXPECT_EQ(kept[kBestDistance], record[kBestDistance]);
        EXPECT_EQ(kept[kTotalCoins], record[kTotalCoins]);

        // The menu's records, "best distance" and "coins", in the band of rows around them.
        const float top = view.pixel(0.0f, 395.0f).second / static_cast<float>(view.height);
        const float bottom = view.pixel(0.0f, 345.0f).second / static_cast<float>(view.height);
        auto recordsShownAfter = [&](const std::string& dataHome, const std::string& shot) {
            player_test::PlayerOptions next = frames(menuAt + 140);
            next.dataHome = dataHome;
            next.screenshots = {{menuAt + 140, shot}};
            const player_test::PlayerRun started = play(next);
            EXPECT_EQ(started.status, 0) << started.output;
            return brightBand(dir.file("game/" + shot), top, bottom);
        };
        const auto afterKill = recordsShownAfter(killed.dataHome, "next-killed.png");
        ASSERT_FALSE(afterKill.empty());
        EXPECT_EQ(afterKill, recordsShownAfter(options.dataHome, "next-played.png"));
        EXPECT_NE(afterKill, brightBand(dir.file("game/menu.png"), top, bottom)) << "a fresh menu's zeros";
    }
}

// The menus' ways on, met in a real run on a store whose records hold a best distance of
// 160 and 30 coins, all of one game: the link and social buttons log what they would open,
// the runner's own button buys it, the locked second world leads nowhere; the HUD's touch
// variant is steered, swiped and switched by the mouse; the game over, past the mark, opens
// the second world, which the menu then plays. Two screenshots stay in "screenshots/" of the working directory
// (the build tree): touch-hud.png (280 frames after the menu's first), the run under the touch
// HUD: "keys" at the top left, the "slide" and "lock" buttons beside the distance, a faint
// square marked "move" above the door behind the hero and a faint area marked "swipe up: jump"
// on the right, where obstacles come in;
// second-world.png (2080 frames after the menu's first), the second world under the usual HUD: a dusk sky from
// violet down to orange, dunes and a rippled sand ground, with the character just bought on it.
TEST_F(PlayerProgram, TheMenusTouchHudAndSecondWorldAreMetInARealRun)
{
    exportGame(false);
    player_test::PlayerOptions options = frames(2);
    options.screenshots = {{2, "size.png"}};
    ASSERT_EQ(play(options).status, 0);
    const DesignView view(dir.file("game/size.png"));
    const std::string home = dir.file("seeded-home");
    std::filesystem::create_directories(home + "/Zq Sample Game");
    writeBytes(home + "/Zq Sample Game/UserDefault.xml",
               bytesOf("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<userDefaultRoot>\n  <entry key=\"ZqP_Scores\">0: 0 160 "
                       "160 0 0 0 0 30 30;4:Game 0 160 160 0 0 0 0 0 0;</entry>\n</userDefaultRoot>\n"));
    const std::filesystem::path shots = std::filesystem::current_path() / "screenshots";
    std::filesystem::create_directories(shots);
    const std::string touchShot = (shots / "touch-hud.png").string();
    const std::string worldShot = (shots / "second-world.png").string();
    std::filesystem::remove(touchShot);
    std::filesystem::remove(worldShot);

    const std::string keys = view.at(200, 560), lock = view.at(870, 560);
    const unsigned menuAt = menuFrame(false);
    options = frames(menuAt + 2090);
    options.dataHome = home;
    options.script = fromMenu(
        menuAt, "# the menu: web, social, the runner, the locked world; then Play\n" + click(80, keys) +
                  click(86, view.at(320, 560)) + click(92, view.at(886, 140)) + click(98, view.at(250, 140)) +
                  "130 key down Return\n131 key up Return\n# the touch HUD: the pad held and moved, a swipe up, "
                  "the lock off and on\n" +
                  click(180, keys) + "210 mouse down " + view.at(100, 330) + "\n211 mouse move " + view.at(150, 330) +
                  "\n230 mouse up " + view.at(150, 330) + "\n240 mouse down " + view.at(900, 250) + "\n240 mouse move " +
                  view.at(900, 320) + "\n242 mouse up " + view.at(900, 320) + "\n" + click(260, lock) +
                  click(270, lock) + click(320, keys) +
                  "# lives lost to the game over, which moves on; the menu, the second world\n" +
                  click(1880, view.at(568, 128)) + click(1940, view.at(250, 140)));
    options.screenshots = {{menuAt + 280, touchShot}, {menuAt + 2080, worldShot}};
    const player_test::PlayerRun played = play(options);
    ASSERT_EQ(played.status, 0) << played.output;

    EXPECT_TRUE(played.has("[ZqServices] would open https://www.example.com/zq-sample")) << played.output;
    EXPECT_TRUE(played.has("[ZqServices] would open social page https://www.facebook.com/zqsample zqsample"));
    const int touch = played.lineWith("[ZqServices] Screen On Enter: TouchHUD");
    ASSERT_GT(touch, 0) << played.output;
    int line = touch;
    for (const char* text : {"location :", "[ZqPObjectSwipeControl] Swipe Area: swipe 15",
                             "[ZqPObjectButtonSwitch] Hold Slide: off", "[ZqPObjectButtonSwitch] Hold Slide: on",
                             "[ZqServices] Screen On Enter: HUD", "[ZqServices] Screen On Enter: GameOver",
                             "an event observer got best coins limit", "[ZqServices] Screen On Enter: NewWorld",
                             "[ZqServices] Screen On Enter: Menu", "[ZqServices] Screen On Enter: HUD",
                             "[ZqPScreenScene] add level section: 421"}) {
        const int next = played.lineWith(text, line + 1);
        EXPECT_GT(next, line) << text << "\n" << played.output;
        line = std::max(line, next);
    }
    EXPECT_GT(played.lineWith("add level section: 421"), played.lineWith("Screen On Enter: NewWorld"))
        << "locked until the game over past the mark";
    const Bytes store = readBytes(home + "/Zq Sample Game/UserDefault.xml");
    const std::string text(store.begin(), store.end());
    EXPECT_NE(text.find("<entry key=\"ZqP_Character_1\">true</entry>"), std::string::npos) << "the runner bought";
    EXPECT_NE(text.find("<entry key=\"ZqP_LockStates\">7:World 2 0;</entry>"), std::string::npos) << "open";

    // The touch HUD over the run: its keys button, beside and below the word (its top is
    // lit); the second world under its dusk sky, on sand.
    EXPECT_TRUE(view.shows(touchShot, 170, 545, 200, 170, 80)) << touchShot;
    EXPECT_GT(findColour(worldShot, 73, 51, 110).count, 5000) << worldShot;
    EXPECT_GT(findColour(worldShot, 237, 139, 94).count, 10000) << worldShot;
    EXPECT_GT(findColour(worldShot, 189, 159, 101).count, 1000) << worldShot;
}

// Run alone by CTest under a time limit of their own (see tests/CMakeLists.txt).
TEST_F(PlayerProgram, DISABLED_TheSampleIsPlayedInFullFromTheDirectory)
{
    playInFull(false);
}

TEST_F(PlayerProgram, DISABLED_TheSampleIsPlayedInFullFromTheArchive)
{
    playInFull(true);
}

// Without a display the play script stops at once and says why, instead of building and
// running the game unseen on SDL's offscreen driver. (Bounded in time: a script that went
// on would build.)
TEST(Programs, ThePlayScriptWithoutADisplaySaysSoAndFails)
{
    TempDir dir;
    const ProgramRun played = run(dir.path().string(), std::string("timeout 60 env -u DISPLAY -u WAYLAND_DISPLAY "
                                                                   "-u SDL_VIDEODRIVER bash '") +
                                                           ZQ_PLAY_SCRIPT + "'");
    EXPECT_EQ(played.status, 1) << played.output;
    EXPECT_NE(played.output.find("no display"), std::string::npos) << played.output;
    EXPECT_NE(played.output.find("SDL_VIDEODRIVER=offscreen"), std::string::npos) << played.output;
}

TEST(Programs, ExportGeneratesGamesAndRefusesBadArguments)
{
    TempDir dir;
    const ProgramRun generated = run(dir.path().string(), std::string(ZQ_EXPORT_PROGRAM) + " big --models 50");
    ASSERT_EQ(generated.status, 0) << generated.output;
    EXPECT_NE(generated.output.find("(51 models)"), std::string::npos) << generated.output;
    EXPECT_FALSE(readBytes(dir.file("big/data/ZqGeneratedModel.0.attributes.pack")).empty());

    // Both forms at once: the player reads the archive, the directory stays readable.
    const ProgramRun both = run(dir.path().string(), std::string(ZQ_EXPORT_PROGRAM) + " both --both");
    ASSERT_EQ(both.status, 0) << both.output;
    EXPECT_FALSE(readBytes(dir.file("both/data/data.pkg")).empty());
    EXPECT_FALSE(readBytes(dir.file("both/data/Keys.pack")).empty());

    for (const char* arguments : {"", " out --models", " out --models -3", " out --models 12x", " out --zip", " a b"})
        EXPECT_EQ(run(dir.path().string(), std::string(ZQ_EXPORT_PROGRAM) + arguments).status, 2) << arguments;
}

} // namespace
