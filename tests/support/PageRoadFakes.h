#pragma once
// Stand-ins around a connection page's decisions for the fuzz target and the benchmark: a transport that
// never connects, a host that collects the shown text, and a logger link that collects what is forwarded.
#include <functional>
#include <memory>
#include <string>

#include "connections/CConnectionController.h"
#include "connections/ILoggerLink.h"

namespace kv::test {

class CIdleTransport : public IClusterTransport {
public:
    using IClusterTransport::IClusterTransport;
    bool Connect(const CConnectionSettings&, int, const std::vector<std::u16string>&) override { return false; }
    void Disconnect() override {}
    void ApplySettings(const CConnectionSettings&) override {}
    bool SendLine(const std::u16string&) override { return false; }
    bool AcceptsCommands() const override { return true; }
    bool CanSendLines() const override { return true; }
};

class CCollectingPageHost : public IConnectionPageHost {
public:
    std::u16string shown;
    bool StartTimer(unsigned, unsigned) override { return true; }
    void StopTimer(unsigned) override {}
    void AppendText(const std::u16string& text, int) override { shown += text; }
    void AddText(const std::u16string& text, const std::u16string&, int) override { shown += text; }
    bool HasWindow() const override { return true; }
    void PostTransportEnded() override {}
    std::unique_ptr<IClusterTransport> MakeTransport(ConnectionType, ITransportListener& listener) override
    {
        return std::make_unique<CIdleTransport>(&listener);
    }
    void SetStatusText(const std::u16string&) override {}
    bool IsInternetReachable() override { return true; }
    bool PaneExists() const override { return true; }
    bool PaneEndsInPartialLine() const override { return false; }
    void ScrollPaneToEnd() override {}
};

class CCollectingLogger : public ILoggerLink {
public:
    std::string forwarded;
    std::function<void(std::string_view)> onPacket;
    bool IsOpen() const override { return true; }
    bool SendReceivedSpot(std::string_view lines, std::u16string&) override
    {
        if (onPacket) onPacket(lines);
        forwarded += lines;
        return true;
    }
    bool SendSkimmerClient(const std::u16string&, int, std::u16string&) override { return true; }
};

} // namespace kv::test
