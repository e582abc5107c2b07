'use strict';
// The main job on the bundled simulator: load the module, set the log level,
// list, add and remove user contexts, list shares and page through the open
// files of a share, printing each answer.
const cifs = require('..');

const dn = 'cn=admin,o=example';
const show = (title, answer) => console.log(`${title}:\n${JSON.stringify(answer, null, 2)}\n`);

async function main() {
  console.log('native_config_sphere({logLevel: "info"}) ->', cifs.native_config_sphere({ logLevel: 'info' }));
  show('FetchCIFSUserContexts', await cifs.cifs_contexts_sphere({ operation: 1, dn }));
  show('AddCIFSUserContext', await cifs.cifs_contexts_sphere({ operation: 2, dn, userContexts: ['.sales.example', '.hr.example'] }));
  show('FetchCIFSUserContexts', await cifs.cifs_contexts_sphere({ operation: 1, dn }));
  show('RemoveCIFSUserContexts', await cifs.cifs_contexts_sphere({ operation: 3, dn, userContexts: ['.sales.example', '.nowhere.example'] }));
  show('FetchCIFSUserContexts', await cifs.cifs_contexts_sphere({ operation: 1, dn }));
  show('FetchCIFSShares', await cifs.cifs_shares_sphere({ operation: 1, dn }));
  const firstPage = await cifs.cifs_shares_sphere({ operation: 6, dn, volumeName: 'DATA', ignoreCount: 0, returnCount: 2 });
  show('ListOpenFilesOfShare (first page of 2)', firstPage);
  const cookie = firstPage.openFiles ? firstPage.openFiles.cookie : '';
  show('ListOpenFilesOfShare (next page, filtered by type)', await cifs.cifs_shares_sphere({
    operation: 6, dn, volumeName: 'DATA', ignoreCount: 0, returnCount: 2, cookie,
    advancedFiltersInfo: { matchType: 'any', filters: [{ filterBy: 'type', patterns: ['docx', 'xlsx', 'pdf'] }] },
  }));
}

main().catch((error) => {
  console.error(error);
  process.exitCode = 1;
});
