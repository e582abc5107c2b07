#!/usr/bin/env node
'use strict';
// Closes the open files of a share whose name ends with a given text,
// reporting each path closed or the library's status for each that was not.
//
//   bin/cifs-sim-run node examples/close-file.js [VOLUME] [NAME_SUFFIX]
const { createClient, CifsError } = require('cifs-native');

async function main([volumeName = 'DATA', suffix = '.pdf']) {
  // With throwOnFailure a failure answer rejects; every other answer is a success.
  const client = createClient({ dn: process.env.CIFS_DN || 'cn=admin,o=example', throwOnFailure: true });
  const paths = [];
  for await (const file of client.openFiles(volumeName)) if (file.name.endsWith(suffix)) paths.push(file.fullPath);
  if (paths.length === 0) return console.log(`no open file on ${volumeName} ends with ${suffix}`);
  try {
    const closed = await client.shares.closeOpenFiles(paths);
    for (const { name } of closed.successfulList ?? []) console.log(`closed ${name}`);
    for (const { name, errorCode } of closed.failedList ?? []) console.log(`not closed ${name} (status ${errorCode})`);
  } catch (error) {
    if (!(error instanceof CifsError)) throw error;
    // Every path failed: the error carries them all.
    for (const { name, errorCode } of error.failedList ?? []) console.log(`not closed ${name} (status ${errorCode})`);
    throw error;
  }
}

main(process.argv.slice(2)).catch((error) => {
  console.error(error.message);
  process.exitCode = 1;
});
