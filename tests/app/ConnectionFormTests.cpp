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

TEST(ConnectionForm, FaultsComeOneAtATimeInTheirOrder)
{
    ConnectionForm form = GoodTelnetForm();
    EXPECT_EQ(Check(form).Field, ConnectionField::None);

    // Everything wrong at once: the name is reported first, then each fault in turn as it is mended.
    form.Name = u" ";
    form.Host = u"";
    form.Login = u"F6 ABC";
    form.Type = ConnectionCwSkimmer;
    form.FollowRadio = true;
    form.StationName = u"  ";
    EXPECT_EQ(Check(form).MessageId, 334u);
    form.Name = u"bravo";
    const ConnectionFormFault taken = Check(form);
    EXPECT_EQ(taken.MessageId, 335u);
    EXPECT_EQ(taken.Field, ConnectionField::Name);
    EXPECT_EQ(taken.Message, u"Another connection is already named \"bravo\". Choose another name.");
    form.Name = u"Charlie";
    EXPECT_EQ(Check(form).MessageId, 336u);
    EXPECT_EQ(Check(form).Field, ConnectionField::Host);
    form.Host = u"dx.example.org:99999"; // no address form: left as typed and refused as a host
    const ConnectionFormFault badHost = Check(form);
    EXPECT_EQ(badHost.MessageId, 444u);
    EXPECT_EQ(badHost.Message, u"The host \"dx.example.org:99999\" is not a valid host name or IPv4 address.");
    form.Host = u"127.0.0.1";
    EXPECT_EQ(Check(form).MessageId, 383u);
    EXPECT_EQ(Check(form).Field, ConnectionField::StationName);
    form.StationName = u"STN1";
    EXPECT_EQ(Check(form).MessageId, 441u);
    EXPECT_EQ(Check(form).Field, ConnectionField::Login);
    EXPECT_FALSE(Check(form).LoginQuestion);
    form.Login = u"";
    const ConnectionFormFault question = Check(form);
    EXPECT_EQ(question.MessageId, 442u);
    EXPECT_TRUE(question.LoginQuestion);
}

TEST(ConnectionForm, TypeDecidesWhichFieldsAreChecked)
{
    ConnectionForm dxSummit = GoodTelnetForm();
    dxSummit.Type = ConnectionDxSummit;
    dxSummit.Host = u"";           // not checked for the web service
    dxSummit.DxSummitInterval = 14;
    EXPECT_EQ(Check(dxSummit).MessageId, 393u);
    EXPECT_EQ(Check(dxSummit).Field, ConnectionField::Interval);
    dxSummit.DxSummitInterval = 600;
    EXPECT_EQ(Check(dxSummit).Field, ConnectionField::None);
    dxSummit.Login = u"";
    EXPECT_EQ(Check(dxSummit).MessageId, 443u);

    ConnectionForm telnet = GoodTelnetForm();
    telnet.DxSummitInterval = 14;  // another type's interval is no fault
    telnet.StationName = u"";      // nor is the station name without CW Skimmer and QSY
    telnet.FollowRadio = true;
    EXPECT_EQ(Check(telnet).Field, ConnectionField::None);

    ConnectionForm skimmer = GoodTelnetForm();
    skimmer.Type = ConnectionCwSkimmer;
    skimmer.StationName = u"";
    EXPECT_EQ(Check(skimmer).Field, ConnectionField::None); // not following a radio
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

TEST(ConnectionForm, FormOfSettingsShowsTheCommandsOneALine)
{
    CConnectionSettings settings;
    settings.Commands = {u"a", u"b"};
    settings.CwSkimmerRadio = 0;
    const ConnectionForm form = ConnectionForm::FromSettings(settings);
    EXPECT_EQ(form.CommandsText, u"a\r\nb");
    EXPECT_EQ(form.RadioIndex, 0);
    CConnectionSettings back = settings;
    StoreConnectionForm(form, back);
    EXPECT_EQ(back.Commands, settings.Commands);
}

TEST(ConnectionForm, UniqueNamesCountUpFromTwo)
{
    EXPECT_EQ(MakeUniqueName(u"CW Skimmer", {u"Alpha"}), u"CW Skimmer");
    EXPECT_EQ(MakeUniqueName(u"CW Skimmer", {u"cw skimmer", u"CW SKIMMER 2", u"CW Skimmer 4"}), u"CW Skimmer 3");
}

TEST(ConnectionForm, TypedCharactersOfHostAndLogin)
{
    for (char16_t c : std::u16string(u"aZ09-.:")) EXPECT_TRUE(IsHostFieldChar(c));
    for (char16_t c : std::u16string(u" /_@\u00E9\u0661")) EXPECT_FALSE(IsHostFieldChar(c));
    for (char16_t c : std::u16string(u"aZ09-/")) EXPECT_TRUE(IsLoginFieldChar(c));
    for (char16_t c : std::u16string(u" .:_\u00E9")) EXPECT_FALSE(IsLoginFieldChar(c));
}
