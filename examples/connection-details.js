#!/usr/bin/env node
'use strict';
// One connection: who holds it and how, the shares it has mapped and the
// files it holds open.
//
//   bin/cifs-sim-run node examples/connection-details.js [CONNECTION_NUMBER]
const { createClient } = require('cifs-native');

async function main([number = '1']) {
  const client = createClient({ dn: process.env.CIFS_DN || 'cn=admin,o=example', throwOnFailure: true });
  // A number the library's 16 bits cannot hold is refused before it is sent.
  const connectionNumber = Number(number);
  const { connection } = await client.connections.details(connectionNumber);
  const since = new Date(Number(connection.loginTime) * 1000).toISOString();
  console.log(`connection ${connection.connectionNumber}: ${connection.userName ?? '(no user)'} from ` +
    `${connection.ipAddress ?? '(no address)'}, ${connection.connectionType ?? ''} ${connection.status ?? ''} since ${since}`);
  console.log(`security equivalences: ${(connection.securityEquivalence ?? []).join(', ') || '(none)'}`);
  const { shares } = await client.connections.mappedShares(connectionNumber);
  for (const share of shares) console.log(`mapped ${share.name} (${share.absolutePath}), ${share.openFilesCount} open files`);
  for await (const file of client.connectionOpenFiles(connectionNumber)) console.log(`open ${file.fullPath} on ${file.shareName}`);
}

main(process.argv.slice(2)).catch((error) => {
  console.error(error.message);
  process.exitCode = 1;
});
