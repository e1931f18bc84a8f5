// Packets of logger stations (text, slash commands, radio frequencies) into the view's handling of them, on
// three connected pages, with the invariants that keep a station harmless: what reaches a cluster is one
// trimmed line, answers go to named stations only, the list of senders holds each station once and none
// of the alert stations, and requests are kept only for connections that exist.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "base/Ascii.h"
#include "base/Text.h"
#include "connections/CRemoteCommands.h"
#include "connections/GeneralSettings.h"
#include "tests/support/PageRoadFakes.h"

using namespace kv;

namespace {

void Check(bool condition)
{
    if (!condition) std::abort();
}

class CConnectedTransport : public test::CIdleTransport {
public:
    using CIdleTransport::CIdleTransport;
    std::vector<std::u16string> sent;
    bool SendLine(const std::u16string& line) override
    {
        sent.push_back(line);
        return true;
    }
    void Report(TransportState state) { SetState(state); }
};

class CFuzzView : public IRemoteCommandsHost {
public:
    GeneralSettings general;
    std::vector<CConnectionController*> tabs;
    int active = 0;
    std::vector<std::u16string> stations;

    const GeneralSettings& General() const override { return general; }
    int ConnectionCount() const override { return int(tabs.size()); }
    CConnectionController* ConnectionAt(int index) const override { return tabs.at(size_t(index)); }
    int ActiveTab() const override { return active; }
    void ActivateTab(int index) override
    {
        Check(index >= 0 && index < ConnectionCount());
        active = index;
    }
    std::vector<int> ClosedIds() const override { return {9}; }
    std::u16string ClosedDisplayName(int) const override { return u"Closed node"; }
    bool LoadClosedSettings(int, CConnectionSettings& settings) const override
    {
        settings.Name = u"Closed node";
        return true;
    }
    void ReopenConnection(int id) override { Check(id == 9); }
    void PostCloseConnection(int id) override { Check(id >= 1 && id <= ConnectionCount()); }
    void PostCloseProgram() override {}
    void Log(bool, const std::u16string&, const std::u16string&) override {}
    void ReportNetworkStatus(const std::u16string&) override {}
    bool SendGab(const std::u16string& station, const std::u16string&, std::u16string&) override
    {
        stations.push_back(station);
        return true;
    }
};

struct Page {
    test::CCollectingPageHost host;
    CConnectionController controller;
    Page(const ConnectionPageEnvironment& environment, int id, ConnectionType type)
        : controller(host, environment, nullptr)
    {
        CConnectionSettings settings;
        settings.Name = id == 1 ? u"DXSpider" : id == 2 ? u"DX Summit" : u"Skimmer";
        settings.Type = type;
        settings.Host = u"127.0.0.1";
        settings.CwSkimmer = type == ConnectionCwSkimmer;
        settings.CwSkimmerRadio = 1;
        settings.CwSkimmerStationName = u"STN1"; // the radio this page follows: frequencies of STN1 reach it
        controller.Transport = std::make_unique<CConnectedTransport>(&controller);
        controller.ConnectionId = id;
        controller.ApplySettings(settings);
        controller.Transport = std::make_unique<CConnectedTransport>(&controller); // a type change replaced it
        Transport().Report(TransportState::Connected);
        controller.OnLoggedIn();
    }
    CConnectedTransport& Transport() { return static_cast<CConnectedTransport&>(*controller.Transport); }
};

// The fields of one packet: a keyword chosen by the first byte, then the fields cut at 0x1F.
std::vector<std::string> PacketOf(std::string_view bytes)
{
    static const char* const keywords[] = {"SENDPKT:", "CWSKIMMERFREQ:", "GAB:"};
    std::vector<std::string> fields{keywords[bytes.empty() ? 0 : uint8_t(bytes[0]) % 3]};
    if (!bytes.empty()) bytes.remove_prefix(1);
    for (const std::string& field : Split(bytes, '\x1f')) fields.push_back(field);
    return fields;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CFuzzView view;
    test::CCollectingLogger logger;
    const ConnectionPageEnvironment environment{&view.general, nullptr, nullptr, &logger, nullptr, nullptr};
    std::vector<std::unique_ptr<Page>> pages;
    const ConnectionType types[] = {ConnectionTelnet, ConnectionTelnet, ConnectionCwSkimmer};
    for (int id = 1; id <= 3; ++id) {
        pages.push_back(std::make_unique<Page>(environment, id, types[id - 1]));
        view.tabs.push_back(&pages.back()->controller);
    }
    CRemoteCommands remote(view);

    // Packets are separated by 0x1E.
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    for (const std::string& packet : Split(input, '\x1e')) remote.OnQuarnelPacket(PacketOf(packet));

    for (const auto& page : pages)
        for (const std::u16string& line : page->Transport().sent) {
            Check(line.find_first_of(u"\r\n") == std::u16string::npos);
            Check(line.starts_with(u"SKIMMER/QSY ") || (!line.empty() && Trim(line) == line));
        }
    for (const std::u16string& station : view.stations) Check(!station.empty() && Trim(station) == station);
    const std::vector<std::u16string>& senders = remote.SenderStations();
    for (size_t i = 0; i < senders.size(); ++i) {
        Check(!senders[i].empty());
        for (const std::u16string& listed : view.general.GabStations) Check(!EqualsIgnoreCaseAscii(senders[i], listed));
        for (size_t k = i + 1; k < senders.size(); ++k) Check(!EqualsIgnoreCaseAscii(senders[i], senders[k]));
    }
    for (const auto& [id, request] : remote.StationRequests()) Check(id >= 1 && id <= 3 && !request.Station.empty());
    return 0;
}
