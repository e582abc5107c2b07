#!/usr/bin/env node
'use strict';
// Blocks a user name, shows it among the cached invalid and blocked users,
// then unblocks it again.
//
//   bin/cifs-sim-run node examples/block-user.js [USER]
const { createClient } = require('cifs-native');

async function listed(client, name) {
  for await (const user of client.invalidUsers()) if (user.name === name) return user.type;
  return 'not listed';
}

async function main([name = 'eve']) {
  const client = createClient({ dn: process.env.CIFS_DN || 'cn=admin,o=example', throwOnFailure: true });
  await client.connections.addBlockedUser(name);
  console.log(`${name}: ${await listed(client, name)}`);
  const unblocked = await client.connections.unblockUsers([name]);
  console.log(`unblocked ${unblocked.successfulList.map((u) => u.name).join(', ')}`);
  console.log(`${name}: ${await listed(client, name)}`);
}

main(process.argv.slice(2)).catch((error) => {
  console.error(error.message);
  process.exitCode = 1;
});
