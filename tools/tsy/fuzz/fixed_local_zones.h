// The zones the tsy fuzz targets run on: the system's zones for the zones calendars name, but a
// local clock on UTC wherever the run takes place, so an input does the same on every machine.
#pragma once

#include <memory>
#include <string_view>

#include "tools/tsy/zones.h"

namespace tessaly::fuzz {

class FixedLocalZones : public SystemZones {
  public:
    const ZoneRules& Local() override { return utc_; }
    const ZoneRules* Find(std::string_view tzid) override { return system_->Find(tzid); }

  private:
    TransitionZone utc_{0, {}};
    std::unique_ptr<SystemZones> system_ = MakeSystemZones();
};

}  // namespace tessaly::fuzz
