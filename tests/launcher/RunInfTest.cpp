// Run items: arming, countdown, gate opens and starts of real processes.
#include "CRunInf.h"

#include "DebugLog.h"
#include "TestMedium.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <sstream>
#include <string>

namespace {

const char kStartLine[] = "CRunInf::startRun() commanLine=";

// Sets the no-start flag for one scope.
class NoStart {
public:
    explicit NoStart(BOOL on) { g_bNoStart = on; }
    ~NoStart() { g_bNoStart = FALSE; }
};

// Runs a script on the item: A arm, T tick (Tn n ticks), Gk gate open of
// kind k, S start by hand (armed first, as the launcher does), M marked
// armed from outside without a start.
void RunScript(CRunInf& item, const CString& drive, const std::string& script)
{
    std::istringstream steps(script);
    std::string step;
    while (steps >> step) {
        const int n = step.size() > 1 ? std::stoi(step.substr(1)) : 1;
        switch (step[0]) {
        case 'A': item.armRun(); break;
        case 'T':
            for (int i = 0; i < n; ++i)
                item.tickRun(drive);
            break;
        case 'G': item.gateOpen(n); break;
        case 'S':
            item.m_bArmed = TRUE;
            item.startRun(drive);
            break;
        case 'M': item.m_bArmed = TRUE; break;
        default: FAIL() << "bad step " << step;
        }
    }
}

}  // namespace

TEST(CRunInf, ConstructedEmptyAndCopiedWhole)
{
    const CRunInf empty;
    EXPECT_EQ(empty.m_nRunKind, RUNKIND_MANUAL);
    EXPECT_TRUE(empty.m_strProgramName.IsEmpty() && empty.m_strProgramPath.IsEmpty() &&
                empty.m_strWorkPath.IsEmpty() && empty.m_strArg.IsEmpty());
    EXPECT_EQ(empty.m_nDelayTime | empty.m_nGateKind | empty.m_bArmed | empty.m_nCountdown | empty.m_bFailed |
                  static_cast<int>(empty.m_dwLastError) | empty.m_bSkype,
              0);

    CRunInf item;
    item.m_nRunKind = 2;
    item.m_strProgramName = "n";
    item.m_strArg = "%letter%";
    item.m_nCountdown = 7;
    item.m_bArmed = TRUE;
    item.m_dwLastError = 5;
    item.m_bSkype = TRUE;
    CRunInf copy(item);
    CRunInf assigned;
    assigned = item;
    for (const CRunInf* c : {&copy, &assigned}) {
        EXPECT_EQ(c->m_nRunKind, 2);
        EXPECT_STREQ(c->m_strProgramName, "n");
        EXPECT_STREQ(c->m_strArg, "%letter%");
        EXPECT_EQ(c->m_nCountdown, 7);
        EXPECT_TRUE(c->m_bArmed);
        EXPECT_EQ(c->m_dwLastError, 5u);
        EXPECT_TRUE(c->m_bSkype);
    }
}

TEST(CRunInf, KindTextsAndGatewayNames)
{
    const struct {
        int kind;
        const char* text;
    } kinds[] = {{0, "手動"}, {1, "自動(P)"}, {2, "自動(S)"}, {5, "不明"}, {-1, "不明"}};
    for (const auto& k : kinds)
        EXPECT_STREQ(RunKindText(k.kind), k.text) << k.kind;
    const char* names[] = {"BorewayForTCP", "BorewayForFTP", "BorewayForCVS", "BorewayForVNC", "BorewayOne"};
    ASSERT_EQ(GATEKIND_COUNT, 5);
    for (int i = 0; i < GATEKIND_COUNT; ++i)
        EXPECT_STREQ(g_gateKindNames[i], names[i]);
}

TEST(CRunInf, ArmingCountdownAndGateOpens)
{
    // A real program that starts and ends at once, and one that is missing.
    const std::string recorder = FixturePath("vk_recorder.exe");
    const CString drive = recorder.substr(0, 2);
    const CString good = recorder.substr(2);
    const CString missing = "\\vk-no-such-folder\\missing.exe";

    struct Case {
        const char* what;
        int kind, delay, gate;
        BOOL noStart;
        bool fails;
        const char* script;
        int starts;  // start attempts that reached process creation
        BOOL armed;
        int countdown;
        BOOL failed;
    } cases[] = {
        {"manual: never armed, a tick disarms", 0, 5, 0, FALSE, false, "A T20", 0, FALSE, 0, FALSE},
        {"manual by hand", 0, 5, 0, FALSE, false, "A S T", 1, FALSE, 0, FALSE},
        {"manual armed from outside stays so until a tick", 0, 0, 0, FALSE, false, "M", 0, TRUE, 0, FALSE},
        {"manual armed from outside is disarmed by the tick", 0, 0, 0, FALSE, false, "M T", 0, FALSE, 0, FALSE},
        {"start: delay 0 starts on the first tick", 1, 0, 0, FALSE, false, "A", 0, TRUE, 1, FALSE},
        {"start: delay 0 after one tick", 1, 0, 0, FALSE, false, "A T", 1, FALSE, 0, FALSE},
        {"start: delay 30, tick 29", 1, 30, 0, FALSE, false, "A T29", 0, TRUE, 1, FALSE},
        {"start: delay 30, tick 30", 1, 30, 0, FALSE, false, "A T30 T10", 1, FALSE, 0, FALSE},
        {"start: negative delay never runs out", 1, -5, 0, FALSE, false, "A T100", 0, TRUE, -5, FALSE},
        {"start: gate opens do nothing", 1, 3, 0, FALSE, false, "G0 T5", 0, FALSE, 0, FALSE},
        {"start with -NOSTART stays armed, frozen", 1, 3, 0, TRUE, false, "A T20", 0, TRUE, 3, FALSE},
        {"start with -NOSTART, by hand", 1, 3, 0, TRUE, false, "A T20 S", 1, FALSE, 3, FALSE},
        {"start: by hand during the countdown cancels it", 1, 10, 0, FALSE, false, "A T3 S T20", 1, FALSE, 7, FALSE},
        {"start: failed by hand during the countdown", 1, 10, 0, FALSE, true, "A T3 S T20", 1, FALSE, 7, FALSE},
        {"start: failed automatic start", 1, 0, 0, FALSE, true, "A T T5", 1, FALSE, 0, TRUE},
        {"gate: armed, waits", 2, 2, 3, FALSE, false, "A T10", 0, TRUE, 0, FALSE},
        {"gate: other kinds do not match", 2, 2, 3, FALSE, false, "A G0 G4 G7 T10", 0, TRUE, 0, FALSE},
        {"gate: its kind starts the countdown", 2, 2, 3, FALSE, false, "A G3", 0, TRUE, 2, FALSE},
        {"gate: starts and waits again", 2, 2, 3, FALSE, false, "A G3 T2 T10", 1, TRUE, 0, FALSE},
        {"gate: every open starts once", 2, 2, 3, FALSE, false, "A G3 T2 G3 T2", 2, TRUE, 0, FALSE},
        {"gate: delay 0 counts one tick", 2, 0, 1, FALSE, false, "A G1 T", 1, TRUE, 0, FALSE},
        {"gate: a second open restarts the countdown", 2, 5, 3, FALSE, false, "A G3 T3 G3 T4", 0, TRUE, 1, FALSE},
        {"gate: restarted countdown runs out", 2, 5, 3, FALSE, false, "A G3 T3 G3 T5", 1, TRUE, 0, FALSE},
        {"gate: works with -NOSTART", 2, 2, 3, TRUE, false, "A G3 T2", 1, TRUE, 0, FALSE},
        {"gate: kind outside 0..4 matches itself", 2, 1, 7, FALSE, false, "A G3 G7 T", 1, TRUE, 0, FALSE},
        {"gate: open of an unarmed item only sets the count", 2, 2, 0, FALSE, false, "G0 T5", 0, FALSE, 2, FALSE},
        {"gate: by hand during the countdown stays armed", 2, 3, 0, FALSE, false, "A G0 T S", 1, TRUE, 2, FALSE},
        {"gate: ... and starts again when it runs out", 2, 3, 0, FALSE, false, "A G0 T S T2", 2, TRUE, 0, FALSE},
        {"gate: failed start disarms", 2, 0, 0, FALSE, true, "A G0 T", 1, FALSE, 0, TRUE},
        {"gate: failed item ignores gate opens", 2, 0, 0, FALSE, true, "A G0 T G0 T5 G0 T5", 1, FALSE, 1, TRUE},
        {"gate: re-armed, the pending count runs on", 2, 0, 0, FALSE, true, "A G0 T G0 A T", 2, FALSE, 0, TRUE},
        {"kind 5: arming changes nothing", 5, 2, 0, FALSE, false, "A G0 T20", 0, FALSE, 0, FALSE},
        {"kind 5: by hand", 5, 2, 0, FALSE, false, "A S T20", 1, FALSE, 0, FALSE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        NoStart noStart(c.noStart);
        DebugLogCapture log;
        CRunInf item;
        item.m_nRunKind = c.kind;
        item.m_nDelayTime = c.delay;
        item.m_nGateKind = c.gate;
        item.m_strProgramPath = c.fails ? missing : good;
        RunScript(item, drive, c.script);
        EXPECT_EQ(log.Count(kStartLine), c.starts) << log.Text();
        EXPECT_EQ(item.m_bArmed, c.armed);
        EXPECT_EQ(item.m_nCountdown, c.countdown);
        EXPECT_EQ(item.m_bFailed, c.failed);
        EXPECT_EQ(item.m_dwLastError, c.failed ? static_cast<DWORD>(ERROR_FILE_NOT_FOUND) : 0u);
    }
}

TEST(CRunInf, StartWhenNotArmedDoesNothing)
{
    DebugLogCapture log;
    CRunInf item;
    item.m_strProgramPath = "\\vk-no-such-folder\\missing.exe";
    EXPECT_TRUE(item.startRun("C:"));
    EXPECT_EQ(log.Text(), "");
}

class RunInfStart : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_medium.IsReady());
        m_drive = m_medium.Drive().c_str();
        ::SetEnvironmentVariableA("VK_RECORD_FILE", m_record.c_str());
    }
    void TearDown() override { ::SetEnvironmentVariableA("VK_RECORD_FILE", nullptr); }

    // Starts the item by hand on the medium and waits for what the program recorded.
    std::string StartAndRecord(CRunInf& item)
    {
        ::DeleteFileA(m_record.c_str());
        item.m_bArmed = TRUE;
        EXPECT_TRUE(item.startRun(m_drive));
        EXPECT_TRUE(WaitFor([&] { return ReadBytes(m_record).find("\nDIR=") != std::string::npos &&
                                         ReadBytes(m_record).back() == '\n'; }));
        return ReadBytes(m_record);
    }

    TestMedium m_medium;
    CString m_drive;
    TempFolder m_dir;
    std::string m_record = m_dir / "record.txt";
};

TEST_F(RunInfStart, CommandLineAndWorkingFolder)
{
    const std::string d = m_medium.Drive();
    m_medium.Put(FixturePath("vk_recorder.exe"), "\\tools\\rec.exe");
    m_medium.Put(FixturePath("vk_recorder.exe"), "\\rec.exe");
    m_medium.Put(FixturePath("vk_recorder.exe"), "\\tools\\表\\rec表.exe");
    m_medium.MakeFolders("\\work");

    struct Case {
        const char* path;
        const char* workPath;
        const char* arg;
        std::string cmd;  // the command line
        std::string dir;  // the working folder handed to the system
        std::string recordedDir;
    } cases[] = {
        {"\\tools\\rec.exe", "", "/x:%letter%\\data %letter%",
         "\"" + d + "\\tools\\rec.exe\" /x:" + d + "\\data " + d, d + "\\tools", d + "\\tools"},
        {"\\tools\\rec.exe", "", "", "\"" + d + "\\tools\\rec.exe\" ", d + "\\tools", d + "\\tools"},
        {"\\tools\\rec.exe", "\\work", "%LETTER% %letter%%letter%",
         "\"" + d + "\\tools\\rec.exe\" %LETTER% " + d + d, d + "\\work", d + "\\work"},
        {"\\rec.exe", "", "a", "\"" + d + "\\rec.exe\" a", d, d + "\\"},
        // No backslash: the drive alone, which is the drive's current folder (its root here).
        {"rec.exe", "", "", "\"" + d + "rec.exe\" ", d, d + "\\"},
        {"\\tools\\表\\rec表.exe", "", "", "\"" + d + "\\tools\\表\\rec表.exe\" ", d + "\\tools\\表",
         d + "\\tools\\表"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        DebugLogCapture log;
        CRunInf item;
        item.m_strProgramPath = c.path;
        item.m_strWorkPath = c.workPath;
        item.m_strArg = c.arg;
        EXPECT_EQ(StartAndRecord(item), "CMD=" + c.cmd + "\nDIR=" + c.recordedDir + "\n");
        EXPECT_STREQ(item.m_strArg, c.arg);  // the placeholder stays in the item
        EXPECT_FALSE(item.m_bArmed);

        std::string expected = "CRunInf::startRun() commanLine=" + c.cmd + "\n";
        if (c.workPath[0] != '\0')
            expected += "CRunInf::startRun() currntDir=" + c.dir + "\n";
        expected += "CRunInf::startRun() currentDir=" + c.dir + "\n";
        EXPECT_EQ(log.Text(), expected);
    }
}

TEST_F(RunInfStart, GateItemStaysArmedAfterItsStart)
{
    m_medium.Put(FixturePath("vk_recorder.exe"), "\\tools\\rec.exe");
    CRunInf item;
    item.m_nRunKind = RUNKIND_AUTO_GATE;
    item.m_strProgramPath = "\\tools\\rec.exe";
    item.armRun();
    item.gateOpen(0);
    item.tickRun(m_drive);
    EXPECT_TRUE(WaitFor([&] { return !ReadBytes(m_record).empty(); }));
    EXPECT_TRUE(item.m_bArmed);
    EXPECT_FALSE(item.m_bFailed);
}

TEST_F(RunInfStart, MissingProgramFailsWithTheSystemsCode)
{
    struct Case {
        const char* path;
        const char* workPath;
        DWORD error;
    } cases[] = {
        {"\\tools\\missing.exe", "", ERROR_FILE_NOT_FOUND},
        {"\\tools\\missing.exe", "\\no-such-folder", ERROR_FILE_NOT_FOUND},
        {"", "", 0},  // the drive itself: any error of the system's
    };
    m_medium.MakeFolders("\\tools");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        CRunInf item;
        item.m_strProgramPath = c.path;
        item.m_strWorkPath = c.workPath;
        item.m_bArmed = TRUE;
        ::SetLastError(0);
        EXPECT_FALSE(item.startRun(m_drive));
        const DWORD error = ::GetLastError();
        if (c.error != 0)
            EXPECT_EQ(error, c.error);
        else
            EXPECT_NE(error, 0u);
        EXPECT_FALSE(item.m_bArmed);
        EXPECT_FALSE(item.m_bFailed);  // only the tick records a failure
    }
    EXPECT_FALSE(FileExists(m_record));
}
