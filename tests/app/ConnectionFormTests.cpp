#include <gtest/gtest.h>

#include "app/ConnectionForm.h"

using namespace kv;
using Names = std::vector<std::u16string>;

namespace {

ConnectionForm GoodTelnetForm()
{
    ConnectionForm form;
    form.Name = u"Alpha";
    form.Host = u"dx.example.org";
    form.Port = 7300;
    form.Login = u"F6ABC/P";
    return form;
}

ConnectionFormFault Check(ConnectionForm form, const Names& others = {u"Bravo"})
{
    TidyConnectionForm(form);
    return CheckConnectionForm(form, others);
}

} // namespace

TEST(ConnectionForm, TidyingTrimsAndSplitsAPastedAddress)
{
    ConnectionForm form = GoodTelnetForm();
    form.Name = u"  Alpha ";
    form.Host = u" telnet dx.example.org 8000 ";
    form.Login = u" F6ABC ";
    form.Password = u" secret ";
    form.StationName = u" STN2 ";
    TidyConnectionForm(form);
    EXPECT_EQ(form.Name, u"Alpha");
    EXPECT_EQ(form.Host, u"dx.example.org");
    EXPECT_EQ(form.Port, 8000);
    EXPECT_EQ(form.Login, u"F6ABC");
    EXPECT_EQ(form.Password, u"secret");
    EXPECT_EQ(form.StationName, u"STN2");
}

TEST(ConnectionForm, NamesAndHostsAreComparedAsTheUserSeesThem)
{
    ConnectionForm form = GoodTelnetForm();
    form.Name = u"ALPHA";
    EXPECT_EQ(Check(form, {u"alpha"}).MessageId, 335u);
    EXPECT_EQ(Check(form, {u"Alpha 2"}).Field, ConnectionField::None);
    form.Host = u"h\u00F4te.example"; // pasted: typing could not put it there
    EXPECT_EQ(Check(form).MessageId, 444u);
    form.Host = u"010.001.002.003";
    EXPECT_EQ(Check(form).Field, ConnectionField::None);
}

TEST(ConnectionForm, StoringFollowsTheTypeAndKeepsWhatWasLeftEmpty)
{
    CConnectionSettings settings;
    settings.DxSummitInterval = 45;
    settings.CwSkimmerStationName = u"STN4";
    ConnectionForm form = ConnectionForm::FromSettings(settings);
    form.Name = u"Skimmer";
    form.Type = ConnectionCwSkimmer;
    form.LineEndingIndex = 0;
    form.FollowRadio = false;
    form.RadioIndex = 1;
    form.DxSummitInterval = 14;
    form.StationName = u"";
    form.CommandsText = u" set/skimmer \r\n\r\n  sh/dx  \r\n";
    StoreConnectionForm(form, settings);
    EXPECT_EQ(settings.LineEnding, LineEndingLf);   // CW Skimmer speaks LF whatever the list shows
    EXPECT_FALSE(settings.CwSkimmer);               // QSY unchecked
    EXPECT_EQ(settings.CwSkimmerRadio, 2);
    EXPECT_EQ(settings.DxSummitInterval, 45);       // 14 is out of range: the old value stays
    EXPECT_EQ(settings.CwSkimmerStationName, u"STN4");
    EXPECT_EQ(settings.Commands, (Names{u"set/skimmer", u"sh/dx"}));

    form.FollowRadio = true;
    form.Type = ConnectionTelnet;
    form.LineEndingIndex = 7;
    form.RadioIndex = -1;
    form.DxSummitInterval = 600;
    StoreConnectionForm(form, settings);
    EXPECT_EQ(settings.LineEnding, LineEndingCrLf); // an unknown selection is CR LF
    EXPECT_FALSE(settings.CwSkimmer);               // following a radio is CW Skimmer's alone
    EXPECT_EQ(settings.CwSkimmerRadio, 1);
    EXPECT_EQ(settings.DxSummitInterval, 600);
}

TEST(ConnectionForm, UniqueNamesCountUpFromTwo)
{
    EXPECT_EQ(MakeUniqueName(u"CW Skimmer", {u"Alpha"}), u"CW Skimmer");
    EXPECT_EQ(MakeUniqueName(u"CW Skimmer", {u"cw skimmer", u"CW SKIMMER 2", u"CW Skimmer 4"}), u"CW Skimmer 3");
}

TEST(ConnectionForm, EmptyLoginIsAQuestionThatNamesWhatIsLost)
{
    ConnectionForm form = GoodTelnetForm();
    form.Login = u"  ";
    EXPECT_TRUE(Check(form).LoginQuestion);
    EXPECT_EQ(Check(form).MessageId, 442u);
    form.Type = ConnectionDxSummit;
    EXPECT_EQ(Check(form).MessageId, 443u);
}
