// The simulator's declarations under strict, without @types/node.
import simulator = require('cifs-native/simulator');
import type { SimShare, SimChoices } from 'cifs-native/simulator';

export function setUp(): void {
  simulator.reset();
  const share: SimShare = { name: 'reports', volumeName: 'DATA', relativePath: 'reports' };
  simulator.setShares([...simulator.shares(), share]);
  const choices: SimChoices = simulator.choices();
  const env: Record<string, string | undefined> = simulator.env({ stateFile: '/tmp/server.state', mirrorSyslog: true });
  simulator.fail({ call: 'CIFSLIB_RemoveShare', status: 5, name: 'reports', times: 1 });
  // @ts-expect-error a call the library does not have
  simulator.fail({ call: 'CIFSLIB_Remove', status: 5 });
  // @ts-expect-error a share needs its name
  simulator.setShares([{ volumeName: 'DATA' }]);
  void choices; void env;
}
