#include "criacao.h"

#include "demodata.h"
#include "schema.h"

namespace data {

void createDatabase(const fb::ConnectParams& params, bool withDemonstrationData) {
    std::unique_ptr<fb::Connection> connection = fb::Connection::create(params);
    try {
        createSchema(*connection);
        insertBaseRows(*connection);
        if (withDemonstrationData)
            fillDemonstrationData(*connection);
    } catch (...) {
        try {
            connection->drop();
        } catch (...) {
        }
        throw;
    }
}

}  // namespace data
