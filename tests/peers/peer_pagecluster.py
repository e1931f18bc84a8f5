"""A fake DX cluster node for the connection page's tests: the node of peer_cluster with one more scenario.

Scenario "spots": the login prompt; after the login a DXSpider greeting and prompt, then a spot that the
page forwards, a spot of DX call F5ABC (the tests' filters reject it) and a closing line, each written in
small chunks so that every line reaches the client split across reads. The node then closes the first
connection once the client's login has ended (its first command came); later connections stay open until the
client leaves.
"""
import threading
import time

import peer_cluster as node

REJECTED = b"DX de N0TST:      7010.0  F5ABC        cq                             1929Z\x07\x07\r\n"
_lock = threading.Lock()


def scenario_spots(c, params):
    with _lock:
        params["connections"] = str(int(params.get("connections", "0")) + 1)
        first = params["connections"] == "1"
    c.write(b"login: ")
    if c.read_line() is None:
        return
    c.write(b"Hello N0CALL, this is GB7TST\r\nrunning DXSpider V1.57 build 441\r\n" + node.PROMPT)
    c.write(node.SPOT + REJECTED + b"73 de GB7TST\r\n")
    if first:
        node.await_end_of_login(c)
        time.sleep(0.3)
        return
    c.drain()


node.SCENARIOS["pagespots"] = scenario_spots


def make(scenario, params, recorder):
    if scenario != "spots":
        raise ValueError("unknown scenario " + scenario)
    return node.ClusterPeer("pagespots", params, recorder)
