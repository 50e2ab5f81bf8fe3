// Folders, playlists and dropped files as a disc's tracks, on real files.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "cdplayer/AudioSource.h"
#include "tests/harness/Harness.h"

namespace {

TEST(AudioSource, NamesCompareByTheValueOfTheirNumbers) {
    const struct { const wchar_t *a, *b; int order; } cases[] = {
        {L"2 intro.wav", L"10 finale.wav", -1}, {L"Track 9", L"track 10", -1}, {L"007 a", L"7 b", -1},
        {L"a10b2", L"a10b10", -1},              {L"same", L"SAME", 0},         {L"x", L"x1", -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.order, NaturalCompare(c.a, c.b)) << c.a << " " << c.b;
        EXPECT_EQ(-c.order, NaturalCompare(c.b, c.a)) << c.a << " " << c.b;
    }
}

class AudioSourceTest : public harness::HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        dir_ = std::wstring(temp) + L"knt_audio_" + std::to_wstring(GetCurrentProcessId()) + L"\\";
        CreateDirectoryW(dir_.c_str(), nullptr);
    }
    void TearDown() override {
        for (const std::wstring& file : made_) DeleteFileW(file.c_str());
        RemoveDirectoryW(dir_.c_str());
        HostTest::TearDown();
    }
    std::wstring Make(const std::wstring& name, const std::string& bytes = "RIFF") {
        const std::wstring path = dir_ + name;
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr);
        CloseHandle(file);
        made_.push_back(path);
        return path;
    }
    std::wstring dir_;
    std::vector<std::wstring> made_;
};

// A folder plays in natural order and names what it cannot play; a UTF-8
// playlist keeps its own order, with relative and non-ANSI names.
TEST_F(AudioSourceTest, FoldersAndPlaylistsBecomeTracks) {
    const std::wstring ten = Make(L"10 finale.wav"), two = Make(L"2 intro.mp3"), empty = Make(L"3 empty.wav", "");
    const std::wstring umlaut = Make(L"\u00dcbergang \u266a.wav");
    Make(L"notes.txt");
    AudioSourceTracks tracks = LoadAudioSource({dir_});
    EXPECT_EQ((std::vector<std::wstring>{two, ten, umlaut}), tracks.files);
    EXPECT_EQ(std::vector<std::wstring>{empty}, tracks.skipped);
    EXPECT_FALSE(tracks.cut);

    const std::wstring list = Make(L"show.m3u8", "\xEF\xBB\xBF#EXTM3U\r\n\xC3\x9c" "bergang \xE2\x99\xAA.wav\r\n"
                                                 "missing.wav\n\n" + std::string("10 finale.wav\n"));
    tracks = LoadAudioSource({list});
    EXPECT_EQ((std::vector<std::wstring>{umlaut, ten}), tracks.files);
    EXPECT_EQ(std::vector<std::wstring>{dir_ + L"missing.wav"}, tracks.skipped);

    // More files than a disc has tracks: the first 99 in order, and said so.
    std::vector<std::wstring> many;
    for (int i = 100; i >= 1; --i) many.push_back(dir_ + L"t" + std::to_wstring(i) + L".wav");
    for (const std::wstring& file : many) Make(file.substr(dir_.size()));
    tracks = LoadAudioSource(many);
    ASSERT_EQ(kMaxAudioTracks, tracks.files.size());
    EXPECT_EQ(dir_ + L"t1.wav", tracks.files.front());
    EXPECT_EQ(dir_ + L"t99.wav", tracks.files.back());
    EXPECT_TRUE(tracks.cut);
}

}  // namespace
