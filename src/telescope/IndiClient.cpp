#include "telescope/IndiClient.h"

namespace tavik {

void SendSwitches(IndiClient* client, const std::string& device, const char* property,
                  const IndiSwitches& values) {
    if (!client) return;
    INDI::PropertySwitch p(values.size());
    p.setDeviceName(device.c_str());
    p.setName(property);
    for (std::size_t i = 0; i < values.size(); ++i) {
        p[i].setName(values[i].first.c_str());
        p[i].setState(values[i].second ? ISS_ON : ISS_OFF);
    }
    client->sendNewSwitch(p);
}

void SendNumbers(IndiClient* client, const std::string& device, const char* property,
                 const IndiNumbers& values) {
    if (!client) return;
    INDI::PropertyNumber p(values.size());
    p.setDeviceName(device.c_str());
    p.setName(property);
    for (std::size_t i = 0; i < values.size(); ++i) {
        p[i].setName(values[i].first.c_str());
        p[i].setValue(values[i].second);
    }
    client->sendNewNumber(p);
}

void SendTexts(IndiClient* client, const std::string& device, const char* property,
               const IndiTexts& values) {
    if (!client) return;
    INDI::PropertyText p(values.size());
    p.setDeviceName(device.c_str());
    p.setName(property);
    for (std::size_t i = 0; i < values.size(); ++i) {
        p[i].setName(values[i].first.c_str());
        p[i].setText(values[i].second.c_str());
    }
    client->sendNewText(p);
}

}  // namespace tavik
