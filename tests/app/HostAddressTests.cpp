#include <gtest/gtest.h>

#include "app/HostAddress.h"

using namespace kv;

namespace {

struct Parsed {
    bool recognised;
    std::u16string host;
    int port;
};

Parsed Parse(std::u16string text, int port = 1234)
{
    const bool recognised = ParseHostAddress(text, port);
    return {recognised, text, port};
}

void ExpectAddress(const std::u16string& text, const std::u16string& host, int port)
{
    const Parsed p = Parse(text);
    EXPECT_TRUE(p.recognised) << "text: " << std::string(text.begin(), text.end());
    EXPECT_EQ(p.host, host) << "text: " << std::string(text.begin(), text.end());
    EXPECT_EQ(p.port, port) << "text: " << std::string(text.begin(), text.end());
}

void ExpectUntouched(const std::u16string& text)
{
    const Parsed p = Parse(text);
    EXPECT_FALSE(p.recognised) << "text: " << std::string(text.begin(), text.end());
    EXPECT_EQ(p.host, text);
    EXPECT_EQ(p.port, 1234);
}

} // namespace

TEST(PortText, OneToFiveDigitsInRange)
{
    EXPECT_EQ(ParsePortText(u"23"), 23);
    EXPECT_EQ(ParsePortText(u"00023"), 23);
    EXPECT_EQ(ParsePortText(u"65535"), 65535);
    EXPECT_EQ(ParsePortText(u"1"), 1);
    for (const char16_t* bad : {u"", u"0", u"00000", u"65536", u"99999", u"000023", u"+23", u"-1", u" 23", u"7x",
                                u"\uFF17\uFF13"}) // full-width digits are no digits
        EXPECT_EQ(ParsePortText(bad), 0);
}

TEST(HostAddress, TelnetCommandAndUrlForms)
{
    ExpectAddress(u"telnet dx.example.org 7300", u"dx.example.org", 7300);
    ExpectAddress(u"  TELNET\tdx.example.org\t 7300  ", u"dx.example.org", 7300);
    ExpectAddress(u"telnet dx.example.org", u"dx.example.org", 23);
    ExpectAddress(u"telnet://dx.example.org:8000", u"dx.example.org", 8000);
    ExpectAddress(u"Telnet://dx.example.org/", u"dx.example.org", 23);
    ExpectAddress(u"telnet://Dx.Example.org 7373/x", u"Dx.Example.org", 7373);
    // A web address keeps the port it had unless it names one.
    ExpectAddress(u"https://www.example.org/page/x?y=1", u"www.example.org", 1234);
    ExpectAddress(u"HTTP://www.example.org", u"www.example.org", 1234);
    ExpectAddress(u"https://www.example.org:8443/page", u"www.example.org", 8443);
}

TEST(HostAddress, HostThenPortForms)
{
    ExpectAddress(u"dx.example.org 7300", u"dx.example.org", 7300);
    ExpectAddress(u"dx.example.org:7300", u"dx.example.org", 7300);
    ExpectAddress(u"10.0.0.1   23", u"10.0.0.1", 23);
    ExpectAddress(u" dx.example.org:65535 ", u"dx.example.org", 65535);
    ExpectAddress(u"dx.example.org\r\n\t7300", u"dx.example.org", 7300); // pasted across two lines
}

TEST(HostAddress, WhatIsNoAddressFormStaysAsTyped)
{
    ExpectUntouched(u"dx.example.org");         // a host alone
    ExpectUntouched(u"dx.example.org:0");       // port out of range
    ExpectUntouched(u"dx.example.org:65536");
    ExpectUntouched(u"dx.example.org:");        // no port behind the colon
    ExpectUntouched(u":7300");                  // no host before it
    ExpectUntouched(u"fe80::1");                // IPv6 is never split
    ExpectUntouched(u"host 23 more");           // a further blank
    ExpectUntouched(u"telnet host 23 x");
    ExpectUntouched(u"host port");
    ExpectUntouched(u"ftp://host");             // another scheme is no form
    ExpectUntouched(u"://host");
    ExpectUntouched(u"telnet://");
    ExpectUntouched(u"https:///page");
    ExpectUntouched(u"telnet");
    ExpectUntouched(u"");
    ExpectUntouched(u"   ");
}
