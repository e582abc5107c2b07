#!/usr/bin/env node
'use strict';
// Lists every open file of a share, a page at a time, without handling
// cookies: the client's iterator sends each page's cookie back for the next
// and stops at the library's end signal.
//
//   bin/cifs-sim-run node examples/page-open-files.js [VOLUME] [PAGE_SIZE]
const { createClient, CifsError } = require('cifs-native');

async function main([volumeName = 'DATA', pageSize = '5']) {
  const client = createClient({ dn: process.env.CIFS_DN || 'cn=admin,o=example' });
  let count = 0;
  for await (const file of client.openFiles(volumeName, { pageSize: Number(pageSize) })) {
    count += 1;
    console.log(`${file.fullPath}\t${file.userName}\t${file.accessModes.join(',')}\t${file.lockLevel}`);
  }
  console.log(`${count} open files on ${volumeName}`);
}

main(process.argv.slice(2)).catch((error) => {
  // A failure answer (a refused caller, an unknown volume) or a refused value.
  console.error(error instanceof CifsError ? `${error.message}` : error);
  process.exitCode = 1;
});
