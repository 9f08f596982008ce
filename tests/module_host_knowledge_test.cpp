// The host keeps its own copies of what the module knows, since the platform may not include
// module code: the keys of a motion, why the PT type is not enabled, the time limits. Each copy
// is held here to the module's behaviour.
#include <MotionEventHost.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "TestHost.h"
#include "params/ParameterKeys.h"
#include "plugin/Exports.h"
#include "pt/PtKeyCheck.h"
#include "pt/PtKeys.h"
#include "pt/PtSetupRequirements.h"

namespace {

TEST(HostKnowledge, TheHostsKeyNamesAreTheModules) {
    const std::pair<const char*, const char*> keys[] = {
        {host_pt_keys::kHostAddress, pt_keys::kHostAddress},
        {host_pt_keys::kClearBuffer, pt_keys::kClearBuffer},
        {host_pt_keys::kStartPoint, pt_keys::kStartPoint},
        {host_pt_keys::kExecute, pt_keys::kExecute},
        {host_pt_keys::kWaitForCompletion, pt_keys::kWaitForCompletion},
        {host_pt_keys::kPosition, pt_keys::kPosition},
        {host_pt_keys::kTime, pt_keys::kTime},
    };
    for (const auto& [host, module] : keys) {
        EXPECT_STREQ(host, module);
        EXPECT_TRUE(IsPtMotionKey(host)) << host;
    }
    // A key the module does not write is no key of a motion, however close to one.
    EXPECT_FALSE(IsPtMotionKey("TPOS2"));
    EXPECT_FALSE(IsPtMotionKey("atime"));
}

TEST(HostKnowledge, EveryKindOfRecordHasOnlyKeysThatTheHostKnows) {
    const CMotionEvent::Kind kinds[] = {
        CMotionEvent::EventWaitTime, CMotionEvent::EventPositionPasses,
        CMotionEvent::EventInputChanges, CMotionEvent::EventMotionComplete};
    TestHost host;
    for (const int execute : {0, 1}) {
        for (const CMotionEvent::Kind kind : kinds) {
            CInternalData data(*host.setup, host.motion);
            SetPoints(data, {{0, 0}, {2000, 100}});
            data.m_bSetHostAddress = 1;
            data.m_nExecute = execute;
            CMotionEventHost::SetKind(data.m_Event, kind);
            CString text;
            data.WriteParameters(text);
            SCOPED_TRACE(text.GetString());
            EXPECT_TRUE(FindUnknownMotionKeys(text.str()).empty());
            EXPECT_EQ(WhyNotAMotion(text.str()), "");
        }
    }
}

TEST(HostKnowledge, TheHostsReasonIsGivenExactlyWhenTheModuleRefusesTheSetup) {
    struct Case {
        const char* what;
        const char* from;  // a line of the built-in setup, replaced
        const char* to;
        const char* reason;  // what the host says
    };
    const Case cases[] = {
        {"the built-in setup", "", "", ""},
        {"a motion controller", "MotionController=0\n", "MotionController=1\n",
         "a motion controller; PT runs on a drive"},
        {"an open position loop", "IsClosedPosition=1\n", "IsClosedPosition=0\n",
         "no closed position loop: the option IsClosedPosition is 0 or absent"},
        {"no position loop option", "IsClosedPosition=1\n", "",
         "no closed position loop: the option IsClosedPosition is 0 or absent"},
        {"no PVTBUFBEGIN", "PVTBUFBEGIN=int\n", "", "the drive has no variable PVTBUFBEGIN"},
        {"no PVTBUFLEN", "PVTBUFLEN=int\n", "", "the drive has no variable PVTBUFLEN"},
        {"no TPOS", "TPOS=long\n", "", "the drive has no variable TPOS"},
        {"no ATIME", "ATIME=long\n", "", "the drive has no variable ATIME"},
        {"no MASTERID", "MASTERID=int\n", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string text = CDriveSetup::DefaultSetupText();
        if (*c.from) {
            const size_t at = text.find(c.from);
            ASSERT_NE(at, std::string::npos);
            text.replace(at, std::string(c.from).size(), c.to);
        }
        CString error;
        const std::unique_ptr<CDriveSetup> setup = CDriveSetup::LoadFromText(text, c.what, error);
        ASSERT_TRUE(setup) << error.GetString();
        EXPECT_EQ(WhyPtIsNotEnabled(*setup), c.reason);
        EXPECT_EQ(IsEnabled(*setup), *c.reason ? 0 : 1);
    }
}

TEST(HostKnowledge, TheHostsTimeLimitsAreThoseThatReadingATextSets) {
    TestHost host;
    CInternalData data(*host.setup, host.motion);
    CString text = data.GetDefaultParameterText(), error;
    data.ReadParameters(text, error);  // one point is too few, but the limits are set all the same
    EXPECT_EQ(data.m_Time.GetMinInInternalUnit(), kPtMinTimeIU);
    EXPECT_EQ(data.m_Time.GetMaxInInternalUnit(), kPtMaxTimeIU);
}

}  // namespace
