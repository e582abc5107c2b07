'use strict';
// A management library that pages as it likes: the real module in front of
// the simulator, whose every CIFSLIB_ListOpenFiles answers the next page of
// a script with a hand-made result (its cookie, its records, and a count
// that may promise more than it holds). Other requests reach the simulator's
// model as usual.
const { cifs } = require('./addon');
const sim = require('./sim');

const { openFileRecord, resultHeader } = sim.openFileRecords;

// pages: [{cookie, names, count?}], one per listing request in turn; count
// defaults to the number of names. Returns the four functions, to give a
// client or cifs-admin as its module, and the requests the listing was sent.
function lyingOpenFiles(pages) {
  const sent = [];
  const cifs_shares_sphere = (request) => {
    if (request.operation === 6) {
      const { cookie, names, count = names.length } = pages[sent.length] ?? { cookie: '', names: [] };
      const shm = { name: sim.mgmt.shmName(`page${sent.length}`), bytes: Buffer.concat(names.map((name) => openFileRecord({ name }))) };
      sim.mgmt.rawOpenFiles({ shm, header: resultHeader({ count, cookie, shmName: shm.name, shmSize: shm.bytes.length }) });
      sent.push({ ...request });
    }
    return cifs.cifs_shares_sphere(request);
  };
  const { native_config_sphere, cifs_connections_sphere, cifs_contexts_sphere } = cifs;
  return { module: { native_config_sphere, cifs_shares_sphere, cifs_connections_sphere, cifs_contexts_sphere }, sent };
}

module.exports = { lyingOpenFiles };
