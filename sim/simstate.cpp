#include "sim/simstate.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <stdexcept>

namespace {

struct TextField {
    const char* name;
    QByteArray SimConfig::*field;
};

constexpr TextField kTextFields[] = {
    {"callsign", &SimConfig::callsign},
    {"ssid", &SimConfig::ssid},
    {"passcode", &SimConfig::passcode},
    {"ip", &SimConfig::ip},
    {"mask", &SimConfig::mask},
    {"gateway", &SimConfig::gateway},
    {"dns", &SimConfig::dns},
    {"position", &SimConfig::position},
    {"comment", &SimConfig::comment},
    {"server", &SimConfig::server},
    {"sendTime", &SimConfig::sendTime},
    {"filter", &SimConfig::filter},
    {"backlight", &SimConfig::backlight},
    {"frequency", &SimConfig::frequency},
    {"unit", &SimConfig::unit},
    {"digipeat", &SimConfig::digipeat},
    {"modulation", &SimConfig::modulation},
    {"path", &SimConfig::path},
    {"alias", &SimConfig::alias},
    {"wifiSsid", &SimConfig::wifiSsid},
    {"wifiPassword", &SimConfig::wifiPassword},
    {"version", &SimConfig::version},
};

// Printable ASCII other than "%" stays as it is.
const QByteArray kKeptAsIs = " !\"#$&'()*+,-./:;<=>?@[\\]^_`{|}~";

QJsonObject encodeConfig(const SimConfig& config) {
    QJsonObject object;
    for (const TextField& text : kTextFields) {
        object[text.name] = QString::fromLatin1((config.*text.field).toPercentEncoding(kKeptAsIs));
    }
    object["dhcp"] = config.dhcp;
    return object;
}

SimConfig decodeConfig(const QJsonObject& object) {
    SimConfig config;
    for (const TextField& text : kTextFields) {
        if (object.contains(text.name)) {
            config.*text.field =
                QByteArray::fromPercentEncoding(object[text.name].toString().toLatin1());
        }
    }
    config.dhcp = object["dhcp"].toBool(config.dhcp);
    return config;
}

QJsonObject encodeFlash(const SimFlash& flash) {
    return {
        {"length", flash.length},     {"blocks", flash.blocks},
        {"rejected", flash.rejected}, {"discarded", flash.discarded},
        {"complete", flash.complete}, {"image", QString::fromLatin1(flash.image.toBase64())},
    };
}

SimFlash decodeFlash(const QJsonObject& object) {
    SimFlash flash;
    flash.length = object["length"].toInt();
    flash.blocks = object["blocks"].toInt();
    flash.rejected = object["rejected"].toInt();
    flash.discarded = object["discarded"].toInt();
    flash.complete = object["complete"].toBool();
    flash.image = QByteArray::fromBase64(object["image"].toString().toLatin1());
    return flash;
}

}  // namespace

QByteArray encodeSimState(const SimState& state) {
    const QJsonObject object{{"config", encodeConfig(state.config)},
                             {"flash", encodeFlash(state.flash)}};
    return QJsonDocument(object).toJson();
}

std::optional<SimState> decodeSimState(const QByteArray& text) {
    const QJsonDocument document = QJsonDocument::fromJson(text);
    if (!document.isObject()) {
        return std::nullopt;
    }
    const QJsonObject object = document.object();
    return SimState{decodeConfig(object["config"].toObject()),
                    decodeFlash(object["flash"].toObject())};
}

SimState readSimStateFile(const QString& path) {
    QFile file(path);
    if (!file.exists()) {
        return {};
    }
    if (!file.open(QIODevice::ReadOnly)) {
        throw std::runtime_error(file.errorString().toStdString());
    }
    const std::optional<SimState> state = decodeSimState(file.readAll());
    if (!state) {
        throw std::runtime_error("not a kv120-sim state file");
    }
    return *state;
}

void writeSimStateFile(const QString& path, const SimState& state) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(encodeSimState(state)) < 0 ||
        !file.commit()) {
        throw std::runtime_error(file.errorString().toStdString());
    }
}
