#pragma once
// The application object: one per program, created on first use (the main window's load)
// and released at shutdown. It holds the registered servers.

#include "core/cServerCOL.h"

#include <memory>

class cVarnolt {
public:
    // The one application object, created on first use.
    static cVarnolt& instance();
    // True while the application object exists.
    static bool exists();
    // Releases the application object and everything it holds (shutdown; tests).
    static void release();

    // The registered servers, created empty on first use.
    cServerCOL& clsServers();

    // --- LoadRegisteredServers, ListAvailableServers and the selection properties
    // --- (SelectedServerInTreeView, SelectedServerInListView, SelectedDatabaseInTreeView,
    // --- SelectedDatabaseInListview, SelectedLoginInListview) belong here.

private:
    cVarnolt() = default;
    static std::unique_ptr<cVarnolt>& holder();

    std::unique_ptr<cServerCOL> m_clsServers;
};
