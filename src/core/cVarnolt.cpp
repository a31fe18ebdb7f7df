#include "core/cVarnolt.h"

std::unique_ptr<cVarnolt>& cVarnolt::holder() {
    static std::unique_ptr<cVarnolt> app;
    return app;
}

cVarnolt& cVarnolt::instance() {
    if (!holder())
        holder().reset(new cVarnolt);
    return *holder();
}

bool cVarnolt::exists() {
    return holder() != nullptr;
}

void cVarnolt::release() {
    holder().reset();
}

cServerCOL& cVarnolt::clsServers() {
    if (!m_clsServers)
        m_clsServers = std::make_unique<cServerCOL>();
    return *m_clsServers;
}
