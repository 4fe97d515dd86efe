#pragma once
// The INDI client under IndiMount: what it has seen of the server (devices,
// their properties and messages), copied on the library's reader thread into
// a snapshot that the mount reads under the client's lock; and the sending of
// new property values.

#include <baseclient.h>
#include <basedevice.h>
#include <indipropertynumber.h>
#include <indipropertyswitch.h>
#include <indipropertytext.h>

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace tavik {

using IndiSwitches = std::vector<std::pair<std::string, bool>>;
using IndiNumbers = std::vector<std::pair<std::string, double>>;
using IndiTexts = std::vector<std::pair<std::string, std::string>>;

// What the client has seen of the server, copied on the client's thread.
struct IndiProp {
    INDI_PROPERTY_TYPE type = INDI_UNKNOWN;
    IPState state = IPS_IDLE;
    std::vector<std::string> names;  // the elements in the driver's order
    std::map<std::string, double> numbers;
    std::map<std::string, bool> switches;
    std::map<std::string, std::string> texts;
    std::uint64_t updates = 0;  // definitions and updates seen

    double Number(const std::string& name, double otherwise = 0.0) const {
        const auto it = numbers.find(name);
        return it == numbers.end() ? otherwise : it->second;
    }
    bool On(const std::string& name) const {
        const auto it = switches.find(name);
        return it != switches.end() && it->second;
    }
};

struct IndiDeviceSeen {
    std::map<std::string, IndiProp> props;
    unsigned interfaces = 0;    // DRIVER_INFO / DRIVER_INTERFACE
    std::string warning;        // the last warning or error message
    std::uint64_t warnings = 0;
    std::string message;        // the last message of any level
    std::uint64_t messages = 0;

    const IndiProp* Find(const std::string& name) const {
        const auto it = props.find(name);
        return it == props.end() ? nullptr : &it->second;
    }
};

struct IndiSnapshot {
    bool up = false;  // connected to the server
    std::map<std::string, IndiDeviceSeen> devices;

    const IndiDeviceSeen* Device(const std::string& name) const {
        const auto it = devices.find(name);
        return it == devices.end() ? nullptr : &it->second;
    }
    const IndiProp* Find(const std::string& device, const std::string& prop) const {
        const IndiDeviceSeen* d = Device(device);
        return d ? d->Find(prop) : nullptr;
    }
};

// The client: its callbacks run on the library's reader thread and only copy
// into the snapshot, under the lock; everything else reads it through With.
class IndiClient final : public INDI::BaseClient {
public:
    template <class F>
    auto With(F f) {
        std::lock_guard lock(mutex_);
        return f(snapshot_);
    }

protected:
    void newDevice(INDI::BaseDevice device) override {
        std::lock_guard lock(mutex_);
        snapshot_.devices[device.getDeviceName()];
    }
    void removeDevice(INDI::BaseDevice device) override {
        std::lock_guard lock(mutex_);
        snapshot_.devices.erase(device.getDeviceName());
    }
    void newProperty(INDI::Property property) override { Store(property); }
    void updateProperty(INDI::Property property) override { Store(property); }
    void removeProperty(INDI::Property property) override {
        std::lock_guard lock(mutex_);
        const auto it = snapshot_.devices.find(property.getDeviceName());
        if (it != snapshot_.devices.end()) it->second.props.erase(property.getName());
    }
    void newMessage(INDI::BaseDevice device, int messageId) override {
        const std::string text = device.messageQueue(messageId);
        std::lock_guard lock(mutex_);
        IndiDeviceSeen& d = snapshot_.devices[device.getDeviceName()];
        d.message = text;
        ++d.messages;
        if (text.find("[WARNING]") != std::string::npos || text.find("[ERROR]") != std::string::npos) {
            d.warning = text;
            ++d.warnings;
        }
    }
    void serverConnected() override {
        std::lock_guard lock(mutex_);
        snapshot_.up = true;
    }
    void serverDisconnected(int) override {
        std::lock_guard lock(mutex_);
        snapshot_.up = false;
    }

private:
    void Store(INDI::Property property) {
        std::lock_guard lock(mutex_);
        IndiDeviceSeen& d = snapshot_.devices[property.getDeviceName()];
        IndiProp& p = d.props[property.getName()];
        p.type = property.getType();
        p.state = property.getState();
        p.names.clear();
        if (p.type == INDI_NUMBER) {
            INDI::PropertyNumber n(property);
            for (auto& w : n) {
                p.names.push_back(w.getName());
                p.numbers[w.getName()] = w.getValue();
            }
        } else if (p.type == INDI_SWITCH) {
            INDI::PropertySwitch s(property);
            for (auto& w : s) {
                p.names.push_back(w.getName());
                p.switches[w.getName()] = w.getState() == ISS_ON;
            }
        } else if (p.type == INDI_TEXT) {
            INDI::PropertyText t(property);
            for (auto& w : t) {
                p.names.push_back(w.getName());
                p.texts[w.getName()] = w.getText() ? w.getText() : "";
            }
            if (std::string(property.getName()) == "DRIVER_INFO") {
                d.interfaces = static_cast<unsigned>(std::atoi(p.texts["DRIVER_INTERFACE"].c_str()));
            }
        }
        ++p.updates;
    }

    std::mutex mutex_;
    IndiSnapshot snapshot_;
};

// Sends new values of a switch, number or text property of `device`
// (nothing without a client).
void SendSwitches(IndiClient* client, const std::string& device, const char* property, const IndiSwitches& values);
void SendNumbers(IndiClient* client, const std::string& device, const char* property, const IndiNumbers& values);
void SendTexts(IndiClient* client, const std::string& device, const char* property, const IndiTexts& values);

}  // namespace tavik
