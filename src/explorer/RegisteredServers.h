#pragma once
// The registered servers kept in the settings: one value per server, named after the server,
// holding "<@>" name ";" integrated 1 or 0 ";" login ";" password. Records are kept as plain
// text: the stored-password cipher is not part of the program yet.

#include <QString>

class cServer;

// The record written for a server.
QString ServerRecord(const cServer& server);
// Reads one record; false when the text is not a server record.
bool ParseServerRecord(const QString& record, QString& name, bool& winAut, QString& login,
                       QString& password);
// Writes the server's record under its name.
void RegisterServer(const cServer& server);
// Loads every registered server into the application object's collection (skipping names
// already there). When no server is registered at all, the embedded server is registered
// first as "(LOCAL)" with the integrated login. Returns the number of servers loaded.
int LoadRegisteredServers();
